// TWindowHost: what an editor control needs of the window that shows it (measuring, repainting, scroll bars, the GUI thread).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Surface.h"
#include "platform/Thread.h"

namespace qm {

// One item of a context menu; a caption of "-" is a separator.
struct TpmMenuItem {
  std::string Caption;
  bool Enabled = true;
  std::function<void()> Action;
};

// The pointer shapes the control asks for.
enum class TpmCursor : uint8_t { crIBeam, crLineSelect, crDrag, crDragCopy, crRun };
struct TpmCursorInfo {
  TpmCursor Kind = TpmCursor::crIBeam;
  int16_t RunCursor = 0;  // the style run's own cursor number with crRun
};

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
  // Lines per wheel notch in the system's settings (3 where it has none).
  virtual int WheelScrollLines() { return 3; }
  // Shows a context menu at the client point; a host without menus shows nothing.
  virtual void ShowPopupMenu(int /*x*/, int /*y*/, std::vector<TpmMenuItem> /*items*/) {}
};

}  // namespace qm
