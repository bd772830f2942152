// The find dialog: its controls, the search it runs in the script editor, and its stored position.
#include "app/FindDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/ErrorBox.h"
#include "app/MainWindow.h"
#include "platform/IniFile.h"
#include "qt/PlusMemoWidget.h"

namespace qm {

TRadioGroup::TRadioGroup(const QString& title, const QStringList& items, QWidget* parent)
    : QGroupBox(title, parent), group_(new QButtonGroup(this)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 4, 8, 4);
  layout->setSpacing(2);
  for (int i = 0; i < items.size(); ++i) {
    auto* button = new QRadioButton(items[i]);
    group_->addButton(button, i);
    layout->addWidget(button);
  }
}

int TRadioGroup::ItemIndex() const { return group_->checkedId(); }

void TRadioGroup::SetItemIndex(int index) {
  if (QAbstractButton* button = group_->button(index)) button->setChecked(true);
}

void StoreDialogPosition(const QWidget& dialog, const char* section) {
  try {
    TIniFile ini(SettingsFilePath());
    ini.WriteInteger(section, "X", dialog.x());
    ini.WriteInteger(section, "Y", dialog.y());
  } catch (const std::exception& e) {
    // A dialog that could not be closed over its settings would trap the
    // user (the go-to dialog is modal and has no other way out).
    ShowErrorBox(e.what());
  }
}

void RestoreDialogPosition(QWidget& dialog, const char* section) {
  const TIniFile ini(SettingsFilePath());
  dialog.move(ini.ReadInteger(section, "X", 350), ini.ReadInteger(section, "Y", 300));
}

TForm4::TForm4(TForm1& form1)
    : QDialog(&form1, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint), form1_(form1) {
  setWindowTitle("Найти...");
  setModal(false);
  setFixedSize(352, 113);
  Label1 = new QLabel("Текст:", this);
  Label1->setGeometry(8, 12, 44, 16);
  Edit1 = new QLineEdit(this);
  Edit1->setGeometry(56, 8, 206, 23);
  RadioGroup1 = new TRadioGroup("Направление", {"Вниз", "Вверх"}, this);
  RadioGroup1->setGeometry(8, 38, 104, 67);
  RadioGroup1->SetItemIndex(0);
  CheckBox1 = new QCheckBox("С учетом регистра", this);
  CheckBox1->setGeometry(120, 50, 148, 20);
  CheckBox2 = new QCheckBox("Слово целиком", this);
  CheckBox2->setGeometry(120, 76, 148, 20);
  Button1 = new QPushButton("Найти", this);
  Button1->setGeometry(270, 7, 75, 25);
  Button1->setDefault(true);
  Button2 = new QPushButton("Отмена", this);
  Button2->setGeometry(270, 38, 75, 25);
  Button2->setAutoDefault(false);

  connect(Button1, &QPushButton::clicked, this, Guarded([this] { Button1Click(); }));
  connect(Button2, &QPushButton::clicked, this, Guarded([this] { Button2Click(); }));
  FormCreate();
}

void TForm4::FormCreate() { RestoreDialogPosition(*this, "FindWindow"); }

void TForm4::FormClose() { StoreDialogPosition(*this, "FindWindow"); }

void TForm4::done(int result) {
  FormClose();
  QDialog::done(result);
}

void TForm4::Button1Click() {
  TPlusMemoU& memo = form1_.PlusMemoU1;
  const bool down = RadioGroup1->ItemIndex() == 0;
  // The selection is dropped; the caret stays and the search starts there.
  memo.SetSelStart(memo.SelStart());
  memo.FindText(Edit1->text().toStdU16String(), down, false, CheckBox2->isChecked(), CheckBox1->isChecked());
  form1_.activateWindow();
  form1_.PlusMemoU1Widget->setFocus();
}

void TForm4::Button2Click() { reject(); }

}  // namespace qm
