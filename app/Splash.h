// TForm9: the splash window, closed by its timer after 3,500 ms or by a click on the picture.
#pragma once

#include <QDialog>

class QLabel;
class QTimer;

namespace qm {

class TForm9 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm9(QWidget* parent = nullptr);

  // The timer's and the picture click's handler: closes the splash.
  void Timer1Timer();

  QLabel* Image1 = nullptr;
  QTimer* Timer1 = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace qm
