// Frame margins and places, and the dialogs centred on the screen at every show.
#include "app/WindowPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace qm {

QMargins FrameMargins(const QWidget& window) {
  // The window's own answer: the widget's copy may still hold the margins
  // of the last time it was shown, or none.
  const QWindow* handle = window.windowHandle();
  return handle != nullptr ? handle->frameMargins() : QMargins();
}

void MoveFrame(QWidget& window, QPoint at) {
  if (window.testAttribute(Qt::WA_WState_Created) && window.windowHandle() != nullptr)
    window.windowHandle()->setFramePosition(at);
  else
    window.move(at);
}

QPoint ScreenCentre(const QWidget& window, const QMargins& frame) {
  const QScreen* screen = window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return window.pos();
  const QSize outer = window.size().grownBy(frame);
  const QRect area = screen->availableGeometry();
  return {area.x() + (area.width() - outer.width()) / 2, area.y() + (area.height() - outer.height()) / 2};
}

void TScreenCentredDialog::setVisible(bool visible) {
  // Before the toolkit shows it: at the first show the dialog does not exist
  // yet, and the toolkit's own placing (on the window it belongs to) is skipped.
  if (visible && !isVisible()) {
    if (frame_.isNull() && parentWidget() != nullptr) frame_ = FrameMargins(*parentWidget()->window());
    Centre();
  }
  QDialog::setVisible(visible);
}

bool TScreenCentredDialog::event(QEvent* event) {
  // A fixed dialog's frame may differ from the main window's (no resize
  // handle): once the window manager framed it, it is centred on its own.
  if (event->type() == QEvent::Move && isVisible()) {
    const QMargins own = FrameMargins(*this);
    if (!own.isNull() && own != frame_) {
      frame_ = own;
      Centre();
    }
  }
  return QDialog::event(event);
}

void TScreenCentredDialog::Centre() { MoveFrame(*this, ScreenCentre(*this, frame_)); }

}  // namespace qm
