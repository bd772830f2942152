// TForm5: the go-to-line dialog: a number of digits and an OK button that moves the script editor's caret.
#pragma once

#include <QDialog>

#include <cstdint>

class QLineEdit;
class QPushButton;

namespace qm {

class TForm1;

// Modal; created once at start and kept, so the number typed last stays.
// Its position is read from the settings file when it is created and
// written there when it closes.
class TForm5 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm5(TForm1& form1);

  // Reads the stored position (GoToWindow X, Y).
  void FormCreate();
  // Writes the position.
  void FormClose();
  // OK: the caret to the start of the line numbered (1-based) in the edit
  // box, the first line for 0, the last line for a number beyond it; then
  // the dialog closes and the editor gets the focus.
  void Button1Click();

  // The edit box's number: 0 when empty, the largest 32-bit number when longer.
  int32_t Value() const;

  QLineEdit* JvValidateEdit1 = nullptr;  // digits only
  QPushButton* Button1 = nullptr;

  // Every way of closing (OK, Esc, the close box) ends here.
  void done(int result) override;

 private:
  TForm1& form1_;
};

}  // namespace qm
