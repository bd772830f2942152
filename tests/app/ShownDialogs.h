// The places where a dialog of the main window opens, show after show, as the tests of its placing read them.
#pragma once

#include <QDialog>
#include <QRect>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <vector>

#include "app/MainWindow.h"

namespace qm {

// The dialog's frame at each of `shows` showings by its command, read by
// frameOf once the dialog is up and then closed with "cancel".
inline std::vector<QRect> FramesAtEachShow(TForm1& form, void (TForm1::*command)(), QDialog& dialog, int shows,
                                           const std::function<QRect(const QWidget&)>& frameOf) {
  std::vector<QRect> frames;
  for (int show = 0; show < shows; ++show) {
    QTimer::singleShot(0, &dialog, [&] {
      frames.push_back(frameOf(dialog));
      dialog.reject();
    });
    (form.*command)();
  }
  return frames;
}

}  // namespace qm
