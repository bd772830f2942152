// TLayoutEngine: lays paragraphs out into display lines and answers the navigators' pixel queries (PosX, PosY, SetPoint).
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "editor/store/Paragraphs.h"
#include "platform/Surface.h"

namespace qm {

class TPlusMemoU;
class TPlusNavigatorU;

enum class TAlignment : uint8_t { taLeftJustify, taRightJustify, taCenter };
using enum TAlignment;

// The layout properties the control publishes. Changing any of them (or the
// client width) calls for InvalidateAll and a new layout.
struct TLayoutSettings {
  bool WordWrap = true;  // wrap at the wrap width
  int ColumnWrap = 0;    // > 0: wrap at this many average character widths; < 0: at -ColumnWrap pixels
  int TabStops = 8;      // > 0: tab width in average character widths; < 0: in pixels; 0: tabs take no width
  int LeftMargin = 8;
  int RightMargin = 8;
  TAlignment Alignment = taLeftJustify;
  bool Justified = false;  // stretch spaces so that wrapped lines fill the wrap width
  int ClientWidth = 100;   // pixels of the client area
  TFontSpec Font;
  TFontSpec AltFont;          // selected by style bit 5
  bool StaticFormat = false;  // characters 1, 2, 3, 4, 21 are format codes
  int ClientHeight = 60;      // pixels of the client area
};

// One stretch of a display line drawn in one font: what painting and
// hit-testing walk. X and Width are pixels from the line's text origin
// (margins, alignment and scrolling not included); a justified space piece's
// width includes its extra pixels.
struct TLinePiece {
  enum TKind : uint8_t { pkText, pkSpace, pkTab, pkCode };
  int32_t From = 0;  // paragraph offsets
  int32_t To = 0;
  int64_t X = 0;
  int64_t Width = 0;
  TKind Kind = pkText;
  uint8_t StyleBits = 0;  // bits 0..3 font style, bit 4 highlight colours, bit 5 alternate font
  int Run = -1;           // the style run in effect; -1: the paragraph's start style
  // The stretchable spaces inside the piece (a sub-range of From … To) and
  // how many stretchable spaces of the line come before the piece.
  int32_t StretchFrom = 0;
  int32_t StretchTo = 0;
  int32_t StretchBefore = 0;
};

class TLayoutEngine {
 public:
  // Settings of its own, starting from the memo's TabStops, WordWrap and StaticFormat.
  TLayoutEngine(TPlusMemoU& memo, TTextMeasurer& measurer);
  // Settings kept by their owner (the control), read at every use.
  TLayoutEngine(TPlusMemoU& memo, TTextMeasurer& measurer, TLayoutSettings& settings);
  TLayoutEngine(const TLayoutEngine&) = delete;
  TLayoutEngine& operator=(const TLayoutEngine&) = delete;

 private:
  TLayoutSettings ownSettings_;  // before Settings, which may refer to it

 public:
  TLayoutSettings& Settings;
  int HScroll = 0;  // pixels scrolled horizontally
  int VScroll = 0;  // pixels scrolled vertically

  // --- Layout ---
  // Lays paragraph par out into display lines (running the lazy highlighting
  // first), stores them and sets pfLaidOut. Raises ERangeError outside the paragraphs.
  void LayOut(int par);
  // Lays paragraphs out until display line `line` exists or all are laid out.
  // When every paragraph is one line (no wrapping), line numbers need no
  // layout, and only the paragraph of that line is laid out.
  void LayOutUpTo(int32_t line);
  // Lays out the paragraphs of display lines first … last (and, with
  // wrapping, those before them): what painting a screen needs.
  void LayOutLines(int32_t first, int32_t last);
  // True when a paragraph is always one display line: no wrapping and left alignment.
  bool OneLinePerParagraph() const { return !Settings.WordWrap && Settings.Alignment == taLeftJustify; }
  // Lays out every paragraph still lacking its layout; marks the formatting complete.
  void LayOutAll();
  // Clears pfLaidOut everywhere and restarts the background formatting.
  void InvalidateAll();
  // One formatting slice: lays out paragraphs FormattedCount … FormatLast for
  // about `milliseconds` (at least one paragraph); true while work remains.
  // Does nothing while the memo's updates are locked.
  bool FormatSlice(int milliseconds);

  // --- Pixel queries of a navigator (client coordinates) ---
  int PosX(TPlusNavigatorU& nav);
  // The baseline of the navigator's display line.
  int PosY(TPlusNavigatorU& nav);
  // Width of the character at the navigator; 0 at a paragraph end.
  int CharWidth(TPlusNavigatorU& nav);
  // Moves the navigator to the character under the client point (x, y).
  void SetPoint(TPlusNavigatorU& nav, int x, int y);

  // --- Metrics ---
  int LineHeight();
  int Ascent();
  int AverageCharWidth();
  // Widest display line laid out since the last InvalidateAll, in pixels
  // (text only, margins not included): the horizontal scroll range when
  // lines are not wrapped to the client width. It grows as lines are laid
  // out and does not shrink when a wide line is edited away, so that the
  // view does not jump while typing.
  int WidestLine() const { return widest_; }
  // A new text: the widest line starts again from nothing.
  void ForgetWidestLine() { widest_ = 0; }
  // Horizontal scrolling is off while wrapping to the client width and with
  // right or centred alignment.
  bool HorizontalScrolling() const;
  // Pixels available to a line; the largest 32-bit integer minus RightMargin when unlimited.
  int64_t WrapWidth();
  // Pixels of one tab step; 0 when tabs take no width.
  int64_t TabWidth();
  // The font a style selects: bit 5 the alternate font, bits 0..3 (when any is set) its style.
  const TFontSpec& FontFor(uint8_t styleBits);

  // --- Line geometry (the paragraph must be laid out) ---
  // The pieces of display line `line` of paragraph par.
  std::vector<TLinePiece> LinePieces(int par, int line);
  // Client x of the line's text origin: margin, alignment and scrolling.
  int64_t LineOriginX(int par, int line);
  // x of paragraph offset `offset` from the line's text origin (clamped to the line).
  int64_t OffsetX(int par, int line, int32_t offset);
  // The offset whose character boundary is nearest to x (from the text origin):
  // the left half of a character gives the offset before it.
  int32_t OffsetAtX(int par, int line, int64_t x);

 private:
  class Walker;
  struct TLineGeometry;

  TParagraphsList& List();
  void EnsureLaidOut(int par);
  // Lays out every paragraph from FormattedCount up to par.
  void LayOutThrough(int par);
  bool IsLead(char16_t c) const;
  // Width of the characters from … to, starting at x; leaves the format-code state after them in state.
  int64_t Measure(Walker& walker, int32_t from, int32_t to, int64_t x, uint8_t& state);
  // How many characters of the word from … to fit between x and the wrap
  // width, and their width.
  std::pair<int32_t, int64_t> Fit(Walker& walker, int32_t from, int32_t to, int64_t x, int64_t wrap, uint8_t state);
  // The stretchable spaces of a wrapped line: those after its indentation and
  // its last tab, up to the end of its last word.
  void CountStretch(std::u16string_view text, TLineInfo& line) const;
  // Stretch parameters and pieces of one display line.
  TLineGeometry Geometry(int par, int line);
  int64_t AlignOffset(const TLineInfo& line);
  int64_t PrefixWidth(const TLineGeometry& g, const TLinePiece& piece, int32_t count);
  int64_t XIn(const TLineGeometry& g, int32_t offset);
  int32_t HitPiece(const TLineGeometry& g, const TLinePiece& piece, int64_t x);
  // Forgets the cached lines of the navigators inside paragraph par.
  void InvalidateNavigators(int par);

  TPlusMemoU& memo_;
  TTextMeasurer& measurer_;
  TFontSpec fontsFor_;  // Font and AltFont the cache below was made from
  TFontSpec altFontsFor_;
  std::array<TFontSpec, 64> fonts_;
  std::bitset<64> fontsMade_;
  int32_t widest_ = 0;
};

}  // namespace qm
