// TForm2: the new-script dialog: a script name, a block type from the vocabulary, and the script skeleton built from them.
#pragma once

#include <string>

#include "app/WindowPlacement.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qm {

class TForm1;

// Created once and kept, so the name typed last and the state of the OK
// button carry over from one use to the next.
class TForm2 : public TScreenCentredDialog {
  Q_OBJECT

 public:
  explicit TForm2(TForm1& form1);

  // Each show: the block types of ExtHighlighterU3, none selected.
  void FormShow();
  // OK is enabled exactly when the name is not blank.
  void Edit1Change();
  // OK: the script editor gets the new script, then the dialog closes.
  void Button1Click();
  // Cancel: closes; nothing changes.
  void Button2Click();

  QLabel* Label1 = nullptr;
  QLineEdit* Edit1 = nullptr;
  QLabel* Label2 = nullptr;
  QComboBox* ComboBox1 = nullptr;
  QPushButton* Button1 = nullptr;
  QPushButton* Button2 = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  TForm1& form1_;
};

// The text with the characters of code 32 or below removed at both ends.
std::u16string TrimControls(std::u16string_view text);

}  // namespace qm
