// Error and warning boxes: the one place that shows an error that escaped an event handler, and the application object that catches them.
#pragma once

#include <QApplication>

#include <exception>
#include <functional>
#include <string>

namespace qm {

// Shows message in the toolkit's error box (a modal message box titled as
// the application, with the error icon). Tests install their own display.
void ShowErrorBox(const std::string& message);
void SetErrorBoxDisplay(std::function<void(const std::string&)> display);

// The same box with the warning icon, for what the user should know of a
// command that went through. Tests install their own display.
void ShowWarningBox(const std::string& message);
void SetWarningBoxDisplay(std::function<void(const std::string&)> display);

// Runs a handler from a Qt signal: an exception is shown in the error box
// instead of unwinding through the toolkit.
template <typename F>
auto Guarded(F f) {
  return [f](auto&&...) {
    try {
      f();
    } catch (const std::exception& e) {
      ShowErrorBox(e.what());
    }
  };
}

// Catches any exception escaping an event handler, shows it with
// ShowErrorBox and lets the program go on, as the message loop of the
// original platform does.
class TQuillmarkApplication : public QApplication {
 public:
  TQuillmarkApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace qm
