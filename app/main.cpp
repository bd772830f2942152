// Quillmark's start: the application, the hidden main window, the splash shown modally, the other windows, then the message loop.
#include <memory>

#include "app/ApplicationSetup.h"
#include "app/ErrorBox.h"
#include "app/MainWindow.h"
#include "app/Splash.h"

int main(int argc, char** argv) {
  qm::TQuillmarkApplication app(argc, argv);
  qm::SetUpApplication(app);
  qm::TForm1 form;
  // The splash stays in memory until the main window's first show ends.
  form.Form9 = std::make_unique<qm::TForm9>();
  form.Form9->exec();
  form.CreateForms();
  form.show();
  return QApplication::exec();
}
