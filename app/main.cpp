// Quillmark's start: the application, the hidden main window, the splash shown modally, then the message loop.
#include <QDialog>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>
#include <QVBoxLayout>

#include "app/ErrorBox.h"
#include "app/Unit1.h"

namespace {

// A plain splash until the designed one exists: closes after 3.5 s or on a click.
class TSplash : public QDialog {
 public:
  TSplash() {
    setWindowFlags(Qt::SplashScreen);
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel("Quillmark");
    label->setAlignment(Qt::AlignCenter);
    label->setStyleSheet("font-size: 28pt;");
    layout->addWidget(label);
    resize(400, 300);
    QTimer::singleShot(3500, this, &QDialog::accept);
  }

 protected:
  void mousePressEvent(QMouseEvent*) override { accept(); }
};

}  // namespace

int main(int argc, char** argv) {
  qm::TQuillmarkApplication app(argc, argv);
  QApplication::setApplicationName("Quillmark");
  QApplication::setApplicationDisplayName("Quillmark");
  qm::TForm1 form;
  {
    TSplash splash;
    splash.exec();
  }
  form.show();
  return QApplication::exec();
}
