// Painting of the editor control through the abstract surface: text pieces in their fonts and colours, selection, caret, margins.
#pragma once

#include <cstdint>

#include "editor/control/Layout.h"
#include "editor/control/Options.h"
#include "editor/store/DynInfo.h"
#include "editor/store/Types.h"
#include "platform/Surface.h"

namespace qm {

class TPlusMemoU;

// The control's visual properties that painting reads.
struct TPaintSettings {
  TColor Color = SystemColor(5);             // background: the window colour
  TColor FontColor = SystemColor(8);         // text: the window-text colour
  TColor HighlightColor = 255;               // text under style bit 4
  TColor HighlightBackgnd = SystemColor(5);  // background under style bit 4
  TColor SelBackColor = SystemColor(13);     // the highlight colour
  TColor SelTextColor = SystemColor(14);     // the highlight-text colour
  bool WindowsSelColors = false;             // the system's selection colours instead of the two above
  bool HideSelection = true;                 // no selection shown without the focus
  bool ShowEndParSelected = true;            // a selected paragraph end is painted as a cell
  bool FullLineSelect = false;               // a selection past the line end reaches the right edge
  int CaretWidth = 1;                        // 0: line height div 14 + 1
  bool Overwrite = false;
  bool WideOverwriteCaret = true;
  bool DisplayOnly = false;  // no caret
};

// The colours a piece of text is drawn in.
struct TPieceColors {
  TColor Foreground;
  TColor Background;
  bool operator==(const TPieceColors&) const = default;
};

class TPainter {
 public:
  // Settings of its own.
  TPainter(TPlusMemoU& memo, TLayoutEngine& layout) : Settings(ownSettings_), memo_(memo), layout_(layout) {}
  // Settings kept by their owner (the control).
  // The control's own painter also takes WindowsSelColors, FullLineSelect and
  // WideOverwriteCaret from the control's options.
  TPainter(TPlusMemoU& memo, TLayoutEngine& layout, TPaintSettings& settings)
      : Settings(settings), memo_(memo), layout_(layout), followsOptions_(true) {}
  TPainter(const TPainter&) = delete;
  TPainter& operator=(const TPainter&) = delete;

 private:
  TPaintSettings ownSettings_;  // before Settings, which may refer to it

 public:
  TPaintSettings& Settings;

  // Paints the part of the client area inside clip (client width and height
  // given by the clip's right and bottom).
  void Paint(TSurface& surface, const TRect& clip, bool focused);
  // The colours of text under style in paragraph par: the font colour on the
  // background, then the paragraph's own colours, then the highlight
  // colours (bit 4), then the run's own colours where it has them and the
  // paragraph has none of that kind.
  TPieceColors ColorsFor(int par, const TDynInfo& style) const;
  // The caret rectangle in client coordinates (empty when there is none).
  TRect CaretRect();

 private:
  void PaintLine(TSurface& surface, int par, int line, int top, const TRect& clip, bool showSelection);
  // The marks of the text on one display line, as waves under the text.
  void PaintMarks(TSurface& surface, int par, int line, int top, int64_t origin);

  // The setting, or the control's option when the painter follows them.
  bool Option(bool setting, TPlusMemoOption option) const;

  TPlusMemoU& memo_;
  TLayoutEngine& layout_;
  bool followsOptions_ = false;
};

}  // namespace qm
