// TForm6: the about box's picture, name, version and OK button.
#include "app/AboutBox.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "app/Pictures.h"

namespace qm {

TForm6::TForm6(QWidget* parent) : TScreenCentredDialog(parent) {
  setWindowTitle(QStringLiteral("О программе..."));
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(12, 12, 12, 10);
  grid->setHorizontalSpacing(16);
  Image1 = new QLabel;
  Image1->setPixmap(AboutPicture());
  Image1->setFixedSize(55, 55);
  grid->addWidget(Image1, 0, 0, 2, 1, Qt::AlignTop);
  Label1 = new QLabel(QStringLiteral("Quillmark"));
  QFont name = Label1->font();
  name.setPointSize(name.pointSize() + 6);
  name.setBold(true);
  Label1->setFont(name);
  grid->addWidget(Label1, 0, 1, Qt::AlignLeft | Qt::AlignTop);
  Label2 = new QLabel(QStringLiteral("Версия: " QM_VERSION));
  grid->addWidget(Label2, 1, 1, Qt::AlignLeft | Qt::AlignTop);
  grid->setColumnStretch(1, 1);
  grid->setRowStretch(1, 1);
  Button1 = new QPushButton(QStringLiteral("ОК"));
  Button1->setDefault(true);
  grid->addWidget(Button1, 2, 0, 1, 2, Qt::AlignHCenter);
  setFixedSize(321, 133);
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
}

}  // namespace qm
