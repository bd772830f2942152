// TWindowHost: what an editor control needs of the window that shows it (measuring, repainting, scroll bars, the GUI thread).
#pragma once

#include "platform/Surface.h"
#include "platform/Thread.h"

namespace qm {

// A control without a host has no window: its edits change the text only.
// Once a host is attached the control lays out, scrolls and asks for repaints
// through it.
class TWindowHost {
 public:
  virtual ~TWindowHost() = default;
  // Measures text in the host's fonts; lives as long as the host.
  virtual TTextMeasurer& Measurer() = 0;
  // Runs the background formatting steps on the GUI thread; nullptr runs them at once.
  virtual TGuiDispatcher* Dispatcher() = 0;
  // The client area needs painting.
  virtual void Invalidate() = 0;
  // Part of the client area needs painting.
  virtual void InvalidateRect(const TRect& rect) = 0;
  // The line count, the widest line or a scroll offset changed.
  virtual void ScrollBarsChanged() = 0;
};

}  // namespace qm
