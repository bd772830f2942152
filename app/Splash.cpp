// TForm9: the splash window's picture, timer and placement.
#include "app/Splash.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "app/Pictures.h"

namespace qm {

TForm9::TForm9(QWidget* parent) : QDialog(parent) {
  setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  Image1 = new QLabel;
  const QPixmap picture = SplashPicture();
  Image1->setPixmap(picture);
  Image1->setFixedSize(picture.isNull() ? QSize(400, 300) : picture.size());
  Image1->installEventFilter(this);
  layout->addWidget(Image1);
  setFixedSize(Image1->size());
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());

  Timer1 = new QTimer(this);
  Timer1->setInterval(3500);
  Timer1->setSingleShot(true);
  Timer1->setTimerType(Qt::PreciseTimer);  // a coarse timer may fire up to 5% early
  connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
  Timer1->start();
}

void TForm9::Timer1Timer() {
  Timer1->stop();
  accept();
}

bool TForm9::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Image1 && event->type() == QEvent::MouseButtonPress) {
    Timer1Timer();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace qm
