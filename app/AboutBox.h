// TForm6: the about box.
#pragma once

#include "app/WindowPlacement.h"

class QLabel;
class QPushButton;

namespace qm {

class TForm6 : public TScreenCentredDialog {
  Q_OBJECT

 public:
  explicit TForm6(QWidget* parent = nullptr);

  void Button1Click() { accept(); }

  QLabel* Image1 = nullptr;
  QLabel* Label1 = nullptr;  // product name
  QLabel* Label2 = nullptr;  // version
  QPushButton* Button1 = nullptr;
};

}  // namespace qm
