// TReplaceDialog: the replace dialog: modeless and always on top; finds, replaces one match or every match in the script editor.
#pragma once

#include <QDialog>

#include <string>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace qm {

class TForm1;
class TRadioGroup;

// Created once and kept, so that its texts and options stay while the
// program runs. Its position is read from the settings file when it is
// created and written there when it closes.
class TReplaceDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TReplaceDialog(TForm1& form1);

  // Before each showing: both texts from the selection (one line of it) or
  // the word at the caret when there is one; the replace buttons follow the
  // editor's read-only state; the focus in the first text.
  void Prepare();

  // "Найти далее": the next match from the caret in the chosen direction, selected.
  bool FindNextClick();
  // "Заменить": a selection that is a match is replaced, then the next match is found.
  void ReplaceClick();
  // "Заменить все": every match (or every one inside the selection) in one edit; the count in the status bar.
  void ReplaceAllClick();

  QLineEdit* FindEdit = nullptr;
  QLineEdit* ReplaceEdit = nullptr;
  TRadioGroup* Direction = nullptr;  // 0 "Вниз", 1 "Вверх"
  QCheckBox* MatchCase = nullptr;
  QCheckBox* WholeWord = nullptr;
  QCheckBox* InSelection = nullptr;
  QCheckBox* Specials = nullptr;  // "\n" and "\t" in both texts
  QPushButton* FindNextButton = nullptr;
  QPushButton* ReplaceButton = nullptr;
  QPushButton* ReplaceAllButton = nullptr;
  QPushButton* CloseButton = nullptr;

  // Every way of closing ends here: the position is stored.
  void done(int result) override;

 private:
  std::u16string Pattern() const;
  std::u16string Replacement() const;
  bool Down() const;
  void Report(const QString& message);

  TForm1& form1_;
};

}  // namespace qm
