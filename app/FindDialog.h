// TForm4: the find dialog: modeless and always on top, its search text, direction and options kept for F3.
#pragma once

#include <QDialog>
#include <QGroupBox>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qm {

class TForm1;

// A titled group of radio buttons with one selected item, by index.
class TRadioGroup : public QGroupBox {
  Q_OBJECT

 public:
  TRadioGroup(const QString& title, const QStringList& items, QWidget* parent);
  // The selected item, -1 for none.
  int ItemIndex() const;
  void SetItemIndex(int index);

 private:
  QButtonGroup* group_;
};

// Created once at start and kept: the search text, direction and options stay
// while the program runs. Its position is read from the settings file when
// it is created and written there when it closes.
class TForm4 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm4(TForm1& form1);

  // Reads the stored position (FindWindow X, Y).
  void FormCreate();
  // Writes the position.
  void FormClose();
  // Find: drops the selection at the caret, searches from there with the
  // dialog's contents and gives the focus back to the editor; stays open.
  void Button1Click();
  // Cancel: closes the dialog.
  void Button2Click();

  QLabel* Label1 = nullptr;
  QLineEdit* Edit1 = nullptr;
  TRadioGroup* RadioGroup1 = nullptr;  // 0 "Вниз" (down), 1 "Вверх" (up)
  QCheckBox* CheckBox1 = nullptr;      // match case
  QCheckBox* CheckBox2 = nullptr;      // whole word
  QPushButton* Button1 = nullptr;
  QPushButton* Button2 = nullptr;

  // Every way of closing (cancel, Esc, the close box) ends here.
  void done(int result) override;

 private:
  TForm1& form1_;
};

// Writes a dialog's left and top edges into a settings section; a failed
// write is shown in the error box (the dialog closes all the same).
void StoreDialogPosition(const QWidget& dialog, const char* section);
// Moves a dialog to the edges stored in a settings section (350, 300 by default).
void RestoreDialogPosition(QWidget& dialog, const char* section);

}  // namespace qm
