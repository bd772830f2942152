// Painting: each display line is filled, then drawn piece by piece in the colours of its runs, with the selection over it.
#include "editor/control/Painter.h"

#include <algorithm>

#include "editor/control/PlusMemoU.h"
#include "editor/store/Navigator.h"

namespace qm {

TPieceColors TPainter::ColorsFor(int par, const TDynInfo& style) const {
  const TParagraphsList& list = memo_.Paragraphs();
  TPieceColors c{Settings.FontColor, Settings.Color};
  TColor parFore = -1;
  TColor parBack = -1;
  if (const ParExtraInfo* e = list.Extra(par); e != nullptr && e->Rare != nullptr) {
    parFore = e->Rare->ParForeground;
    parBack = e->Rare->ParBackground;
  }
  if (!IsNoColor(parFore)) c.Foreground = parFore;
  if (!IsNoColor(parBack)) c.Background = parBack;
  if (!(style.Kind & dkHighlight)) return c;
  if (style.Kind & fsHighlight) {
    c.Foreground = Settings.HighlightColor;
    c.Background = Settings.HighlightBackgnd;
  }
  // A run whose two colours are both 0 keeps the colours it would have without them.
  if (style.Background != 0 || style.Foreground != 0) {
    if (!IsNoColor(style.Foreground) && IsNoColor(parFore)) c.Foreground = style.Foreground;
    if (!IsNoColor(style.Background) && IsNoColor(parBack)) c.Background = style.Background;
  }
  return c;
}

bool TPainter::Option(bool setting, TPlusMemoOption option) const {
  return followsOptions_ ? memo_.Options.Contains(option) : setting;
}

void TPainter::Paint(TSurface& surface, const TRect& clip, bool focused) {
  surface.SetClip(clip);
  const int height = layout_.LineHeight();
  if (height <= 0) return;
  const int first = std::max(0, (clip.Top + layout_.VScroll) / height);
  const int last = (clip.Bottom + layout_.VScroll) / height;
  layout_.LayOutLines(first, last);
  const TParagraphsList& list = memo_.Paragraphs();
  const bool showSelection = focused || !Settings.HideSelection;
  // Margins and the area below the text take the background.
  surface.FillRect(clip, Settings.Color);
  for (int lineNo = first; lineNo <= last && lineNo < list.LineCount; ++lineNo) {
    const int par = list.ParagraphOfLine(lineNo);
    const int inPar = lineNo - list.StartLine(par);
    PaintLine(surface, par, inPar, lineNo * height - layout_.VScroll, clip, showSelection);
  }
  if (focused && !Settings.DisplayOnly) {
    const TRect caret = CaretRect();
    if (caret.Right > caret.Left) surface.FillRect(caret, Settings.FontColor);
  }
}

void TPainter::PaintLine(TSurface& surface, int par, int line, int top, const TRect& clip, bool showSelection) {
  const TParagraphsList& list = memo_.Paragraphs();
  const int height = layout_.LineHeight();
  const int baseline = top + layout_.Ascent();
  const int64_t origin = layout_.LineOriginX(par, line);
  const int32_t parStart = list.StartOffset(par);
  int32_t selLow = memo_.SelStartNav().Pos() - parStart;
  int32_t selHigh = memo_.SelStopNav().Pos() - parStart;
  // A column block selects the same columns of every paragraph it covers,
  // reaching into free space where a line is shorter.
  int32_t blockLow = 0;
  int32_t blockHigh = 0;
  const bool block = memo_.BlockMode;
  if (block) {
    selLow = selHigh = 0;
    if (par >= memo_.SelStartNav().ParNumber() && par <= memo_.SelStopNav().ParNumber()) {
      blockLow = std::min(memo_.BlockStartCol, memo_.BlockStopCol);
      blockHigh = std::max(memo_.BlockStartCol, memo_.BlockStopCol);
      const std::u16string_view full = list.TextView(par);
      selLow = ColumnToOffset(full, blockLow, memo_.TabStops, memo_.StaticFormat());
      selHigh = ColumnToOffset(full, blockHigh, memo_.TabStops, memo_.StaticFormat());
    }
  }
  const bool anySelection = showSelection && (selHigh > selLow || (block && blockHigh > blockLow));
  const TColor selBack =
      Option(Settings.WindowsSelColors, pmoWindowsSelColors) ? SystemColor(13) : Settings.SelBackColor;
  const TColor selText =
      Option(Settings.WindowsSelColors, pmoWindowsSelColors) ? SystemColor(14) : Settings.SelTextColor;
  const std::u16string_view text = list.TextView(par);

  for (const TLinePiece& piece : layout_.LinePieces(par, line)) {
    if (piece.Kind == TLinePiece::pkCode || piece.To <= piece.From) continue;
    const TDynInfo style = piece.Run >= 0 ? list.Run(par, piece.Run) : list.StartStyle(par);
    const TPieceColors colours = ColorsFor(par, style);
    const TFontSpec& font = layout_.FontFor(piece.StyleBits);
    const int64_t x = origin + piece.X;
    if (x > clip.Right || x + piece.Width < clip.Left) continue;
    // The piece in its colours, then its selected part over it.
    const TRect cell{static_cast<int>(x), top, static_cast<int>(x + piece.Width), top + height};
    surface.FillRect(cell, colours.Background);
    if (piece.Kind == TLinePiece::pkText)
      surface.DrawText(static_cast<int>(x), baseline, font, colours.Foreground,
                       text.substr(static_cast<size_t>(piece.From), static_cast<size_t>(piece.To - piece.From)));
    if (anySelection && selLow < piece.To && selHigh > piece.From) {
      const int32_t a = std::max(selLow, piece.From);
      const int32_t b = std::min(selHigh, piece.To);
      const int64_t xa = origin + layout_.OffsetX(par, line, a);
      const int64_t xb = origin + layout_.OffsetX(par, line, b);
      surface.FillRect(TRect{static_cast<int>(xa), top, static_cast<int>(xb), top + height}, selBack);
      if (piece.Kind == TLinePiece::pkText)
        surface.DrawText(static_cast<int>(xa), baseline, font, selText,
                         text.substr(static_cast<size_t>(a), static_cast<size_t>(b - a)));
    }
  }
  PaintMarks(surface, par, line, top, origin);
  // A selection running past the end of the paragraph's last line.
  const TLineInfo info = list.LineInfo(par, line);
  const bool lastLine = line == list.LineCountOf(par) - 1;
  if (block) {
    if (!anySelection || !lastLine) return;
    const int64_t average = layout_.AverageCharWidth();
    const int64_t xEnd = origin + layout_.OffsetX(par, line, info.LineStop);
    const int64_t left = std::max(xEnd, origin + blockLow * average);
    const int64_t right = origin + blockHigh * average;
    if (right > left)
      surface.FillRect(TRect{static_cast<int>(left), top, static_cast<int>(right), top + height}, selBack);
    return;
  }
  if (anySelection && lastLine && selLow <= info.LineStop && selHigh > info.LineStop) {
    const int64_t xEnd = origin + layout_.OffsetX(par, line, info.LineStop);
    int right = static_cast<int>(xEnd);
    if (Option(Settings.FullLineSelect, pmoFullLineSelect))
      right = clip.Right;
    else if (Settings.ShowEndParSelected)
      right += layout_.AverageCharWidth();
    if (right > xEnd) surface.FillRect(TRect{static_cast<int>(xEnd), top, right, top + height}, selBack);
  }
}

void TPainter::PaintMarks(TSurface& surface, int par, int line, int top, int64_t origin) {
  const TParagraphsList& list = memo_.Paragraphs();
  const int32_t parStart = list.StartOffset(par);
  const TLineInfo info = list.LineInfo(par, line);
  // A wave of period four pixels along the bottom of the line.
  const int y = top + layout_.LineHeight() - 3;
  for (const TTextMark& m : memo_.Marks().Within(parStart + info.LineStart, parStart + info.LineStop)) {
    const int32_t a = std::max(m.Start - parStart, info.LineStart);
    const int32_t b = std::min(m.Start + m.Length - parStart, info.LineStop);
    if (b <= a) continue;
    const auto x0 = static_cast<int>(origin + layout_.OffsetX(par, line, a));
    const auto x1 = static_cast<int>(origin + layout_.OffsetX(par, line, b));
    for (int x = x0; x < x1; x += 2) {
      const int dy = ((x - x0) / 2) % 2;
      surface.FillRect(TRect{x, y + dy, std::min(x + 2, x1), y + dy + 1}, m.Colour);
    }
  }
}

TRect TPainter::CaretRect() {
  TPlusNavigatorU& caret = memo_.CaretNav();
  const int height = layout_.LineHeight();
  layout_.LayOutUpTo(caret.LineNumber());
  const int x = layout_.PosX(caret) + memo_.VirtualColumn * layout_.AverageCharWidth();
  const int top = caret.LineNumber() * height - layout_.VScroll;
  int width = Settings.CaretWidth > 0 ? Settings.CaretWidth : height / 14 + 1;
  // The overwrite caret covers the character it would replace.
  if (Settings.Overwrite && Option(Settings.WideOverwriteCaret, pmoWideOverwriteCaret) && memo_.SelLength() == 0) {
    const int w = layout_.CharWidth(caret);
    if (w > 0) width = w;
  }
  return TRect{x, top, x + width, top + height};
}

}  // namespace qm
