// Error boxes for exceptions that escape event handlers.
#include "app/ErrorBox.h"

#include <QMessageBox>

#include <exception>
#include <utility>

namespace qm {

namespace {

std::function<void(const std::string&)>& Display() {
  static std::function<void(const std::string&)> display;
  return display;
}

}  // namespace

void SetErrorBoxDisplay(std::function<void(const std::string&)> display) { Display() = std::move(display); }

void ShowErrorBox(const std::string& message) {
  if (Display()) {
    Display()(message);
    return;
  }
  QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationDisplayName(),
                        QString::fromStdString(message));
}

TQuillmarkApplication::TQuillmarkApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TQuillmarkApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    ShowErrorBox(e.what());
  } catch (...) {
    ShowErrorBox("Unknown error");
  }
  return false;
}

}  // namespace qm
