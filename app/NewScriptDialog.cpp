// The new-script dialog and the script skeleton it builds in the main window's script editor.
#include "app/NewScriptDialog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/ErrorBox.h"
#include "app/MainWindow.h"
#include "editor/control/StringsViews.h"
#include "platform/CodePage.h"

namespace qm {

std::u16string TrimControls(std::u16string_view text) {
  size_t start = 0;
  size_t stop = text.size();
  while (start < stop && text[start] <= u' ') ++start;
  while (stop > start && text[stop - 1] <= u' ') --stop;
  return std::u16string(text.substr(start, stop - start));
}

TForm2::TForm2(TForm1& form1)
    : TScreenCentredDialog(&form1, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), form1_(form1) {
  setWindowTitle("Новый скрипт...");
  setFixedSize(397, 69);
  Label1 = new QLabel("Имя скрипта:", this);
  Label1->setGeometry(8, 12, 92, 16);
  Edit1 = new QLineEdit("NewScript", this);
  Edit1->setGeometry(104, 8, 185, 23);
  Label2 = new QLabel("Тип блока:", this);
  Label2->setGeometry(8, 42, 92, 16);
  ComboBox1 = new QComboBox(this);
  ComboBox1->setEditable(false);
  ComboBox1->setGeometry(104, 38, 185, 23);
  Button1 = new QPushButton("ОК", this);  // Cyrillic letters
  Button1->setGeometry(300, 7, 89, 25);
  Button1->setDefault(true);
  Button2 = new QPushButton("Отмена", this);
  Button2->setGeometry(300, 38, 89, 25);
  Button2->setAutoDefault(false);

  connect(Edit1, &QLineEdit::textChanged, this, Guarded([this] { Edit1Change(); }));
  connect(Button1, &QPushButton::clicked, this, Guarded([this] { Button1Click(); }));
  connect(Button2, &QPushButton::clicked, this, Guarded([this] { Button2Click(); }));
}

void TForm2::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormShow();
}

void TForm2::FormShow() {
  ComboBox1->clear();
  const TKeywordList& blockTypes = form1_.Chain().U(3).Keywords;
  for (int i = 0; i < blockTypes.Count(); ++i)
    ComboBox1->addItem(QString::fromStdU16String(blockTypes.Entry(i).Keyword));
  ComboBox1->setCurrentIndex(-1);
}

void TForm2::Edit1Change() { Button1->setEnabled(!TrimControls(Edit1->text().toStdU16String()).empty()); }

void TForm2::Button1Click() {
  TPlusMemoU& memo = form1_.PlusMemoU1;
  TPlusLinesStrings& lines = memo.Lines();
  memo.Clear();
  // The lines are 8-bit text; the caret arithmetic below counts the name as written.
  const std::string name = WideToAnsi(TrimControls(Edit1->text().toStdU16String()));
  const std::string type = WideToAnsi(ComboBox1->currentText().toStdU16String());
  lines.Add("ScriptName " + name);
  lines.Add("");
  lines.Add("begin " + type);
  lines.Add("");
  if (!type.empty()) {
    lines.Add("");
    lines.Add("end");
    memo.SetCaretLine(3);  // the first empty line inside the block
  } else {
    lines.Add("end");
    // The item browser offers the block types to pick from.
    form1_.ComboBox1->setCurrentIndex(3);
    form1_.ComboBox1Change();
    // Right after "begin ": "ScriptName ", the name, two breaks of 2 and "begin ".
    memo.SetSelStart(static_cast<int32_t>(name.size()) + 21);
  }
  accept();
}

void TForm2::Button2Click() { reject(); }

}  // namespace qm
