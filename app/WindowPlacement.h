// Where the program's windows open: their places are the frames', as users see them, also before a window manager framed them.
#pragma once

#include <QDialog>
#include <QMargins>
#include <QPoint>

class QEvent;
class QWidget;

namespace qm {

// The margins of the frame the window manager put around window, as it
// tells them now; none while it has not framed it (before its first show).
QMargins FrameMargins(const QWidget& window);

// Puts window's frame at `at`. Before the window exists the toolkit takes a
// place for the frame's; afterwards it must be told so.
void MoveFrame(QWidget& window, QPoint at);

// The place that centres a frame of the window's size and the given margins
// on the screen's free area.
QPoint ScreenCentre(const QWidget& window, const QMargins& frame);

// A dialog that opens centred on the screen at every show, whatever the
// window it belongs to and wherever it was moved.
class TScreenCentredDialog : public QDialog {
 public:
  using QDialog::QDialog;
  void setVisible(bool visible) override;

 protected:
  bool event(QEvent* event) override;

 private:
  void Centre();
  // The frame it was centred with: its own once it was framed; before, the
  // main window's.
  QMargins frame_;
};

}  // namespace qm
