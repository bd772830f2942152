// TForm3: the exit confirmation's layout and its three buttons.
#include "app/ExitConfirmation.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace qm {

TForm3::TForm3(QWidget* parent) : TScreenCentredDialog(parent) {
  setWindowTitle(QStringLiteral("Выход..."));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 6, 8, 6);
  Label1 = new QLabel(QStringLiteral("Закончить работу с программой? Вы можете сохранить скрипт перед выходом."));
  Label1->setAlignment(Qt::AlignCenter);
  Label1->setWordWrap(true);
  layout->addWidget(Label1);
  auto* row = new QHBoxLayout;
  Button1 = new QPushButton(QStringLiteral("Выход"));
  Button2 = new QPushButton(QStringLiteral("Сохранить"));
  Button3 = new QPushButton(QStringLiteral("Отмена"));
  Button1->setDefault(true);
  Button1->setAutoDefault(true);
  Button2->setAutoDefault(false);
  Button3->setAutoDefault(false);
  row->addStretch(1);
  for (QPushButton* button : {Button1, Button2, Button3}) row->addWidget(button);
  row->addStretch(1);
  layout->addLayout(row);
  setFixedSize(392, 72);

  // Exiting the main loop also ends this dialog's modal loop.
  EndProgram = [] { QCoreApplication::exit(0); };
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
  connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
}

void TForm3::Button1Click() {
  done(QDialog::Accepted);
  EndProgram();
}

void TForm3::Button2Click() {
  if (!SaveScript || !SaveScript()) return;
  Button1Click();
}

void TForm3::Button3Click() { reject(); }

}  // namespace qm
