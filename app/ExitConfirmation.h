// TForm3: the exit confirmation ("Выход", "Сохранить", "Отмена").
#pragma once

#include <functional>

#include "app/WindowPlacement.h"

class QLabel;
class QPushButton;

namespace qm {

class TForm3 : public TScreenCentredDialog {
  Q_OBJECT

 public:
  explicit TForm3(QWidget* parent = nullptr);

  // "Выход": ends the program at once, without the main window's close.
  void Button1Click();
  // "Сохранить": the save dialog and route; then the end, or back to the
  // confirmation when the user cancels the file dialog.
  void Button2Click();
  // "Отмена": back to the editor.
  void Button3Click();

  // Runs the main window's save dialog and saves; false when the user
  // cancelled it. A failed save raises, and the confirmation stays open.
  std::function<bool()> SaveScript;
  // Ends the message loop (and with it this modal dialog). Tests replace it.
  std::function<void()> EndProgram;

  QLabel* Label1 = nullptr;
  QPushButton* Button1 = nullptr;
  QPushButton* Button2 = nullptr;
  QPushButton* Button3 = nullptr;
};

}  // namespace qm
