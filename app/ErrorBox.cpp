// Error boxes for exceptions that escape event handlers, and warning boxes.
#include "app/ErrorBox.h"

#include <QMessageBox>

#include <exception>
#include <utility>

namespace qm {

namespace {

using TDisplay = std::function<void(const std::string&)>;

TDisplay& ErrorDisplay() {
  static TDisplay display;
  return display;
}

TDisplay& WarningDisplay() {
  static TDisplay display;
  return display;
}

void ShowBox(const TDisplay& display, QMessageBox::Icon icon, const std::string& message) {
  if (display) {
    display(message);
    return;
  }
  QMessageBox box(icon, QApplication::applicationDisplayName(), QString::fromStdString(message), QMessageBox::Ok,
                  QApplication::activeWindow());
  box.exec();
}

}  // namespace

void SetErrorBoxDisplay(TDisplay display) { ErrorDisplay() = std::move(display); }

void ShowErrorBox(const std::string& message) { ShowBox(ErrorDisplay(), QMessageBox::Critical, message); }

void SetWarningBoxDisplay(TDisplay display) { WarningDisplay() = std::move(display); }

void ShowWarningBox(const std::string& message) { ShowBox(WarningDisplay(), QMessageBox::Warning, message); }

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
