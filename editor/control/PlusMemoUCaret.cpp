// TPlusMemoU's caret moves: left and right with free space, vertical moves at the remembered x, pages, persistent and column blocks.
#include <algorithm>
#include <cstdint>

#include "editor/control/PlusMemoU.h"
#include "editor/store/WideStr.h"

namespace qm {

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

// The offset just after the last character that is not a space or tab.
int32_t TrimmedLength(std::u16string_view text) {
  int32_t n = static_cast<int32_t>(text.size());
  while (n > 0 && IsBlank(text[static_cast<size_t>(n - 1)])) --n;
  return n;
}

}  // namespace

int TPlusMemoU::AverageWidth() const { return layout_ ? std::max(layout_->AverageCharWidth(), 1) : 1; }

int TPlusMemoU::VisibleLines() const {
  // Without a window a nominal line of 16 pixels stands in for the font's.
  const int height = layout_ ? std::max(layout_->LineHeight(), 1) : 16;
  return std::max(LayoutSettings.ClientHeight / height, 1);
}

int64_t TPlusMemoU::TextX(TPlusNavigatorU& nav) {
  const int par = nav.ParNumber();
  if (!layout_) return OffsetToColumn(paragraphs_->TextView(par), nav.ParOffset(), TabStops, StaticFormat());
  if (!(paragraphs_->Flags(par) & pfLaidOut)) layout_->LayOut(par);
  return layout_->OffsetX(par, nav.LineInPar(), nav.ParOffset());
}

int32_t TPlusMemoU::PosAtX(int32_t line, int64_t x, int64_t& landed) {
  LayOutUpToLine(line);
  line = std::clamp(line, 0, std::max(LineCount() - 1, 0));
  const int par = paragraphs_->ParagraphOfLine(line);
  const int inPar = std::clamp(line - paragraphs_->StartLine(par), 0, paragraphs_->LineCountOf(par) - 1);
  const std::u16string_view text = paragraphs_->TextView(par);
  int32_t offset = 0;
  if (!layout_) {
    offset = ColumnToOffset(text, static_cast<int32_t>(std::clamp<int64_t>(x, 0, INT32_MAX)), TabStops, StaticFormat());
    landed = OffsetToColumn(text, offset, TabStops, StaticFormat());
  } else {
    if (!(paragraphs_->Flags(par) & pfLaidOut)) layout_->LayOut(par);
    offset = layout_->OffsetAtX(par, inPar, x);
    landed = layout_->OffsetX(par, inPar, offset);
  }
  return ParagraphStart(par) + offset;
}

int32_t TPlusMemoU::ScreenColumn() { return static_cast<int32_t>(TextX(*caretNav_) / AverageWidth()) + VirtualColumn; }

void TPlusMemoU::PlaceCaret(int32_t pos) {
  const int32_t oldLine = host_ != nullptr ? caretNav_->LineNumber() : 0;
  caretNav_->SetPos(std::clamp(pos, 0, TextLength()));
  if (host_ != nullptr) {
    InvalidateLines(oldLine, oldLine);
    const int32_t line = caretNav_->LineNumber();
    InvalidateLines(line, line);
  }
}

void TPlusMemoU::EndCaretMove(int32_t target, int32_t virtualColumn, bool extend, bool keepRememberedX) {
  const int32_t remembered = RememberedX;
  const int32_t caret = SelStart();
  if (extend) {
    // From a caret at either end of the selection the other end is the
    // anchor; from anywhere else (a persistent block left behind) a new
    // selection starts at the caret.
    const int32_t start = selStartNav_->Pos();
    const int32_t stop = selStopNav_->Pos();
    int32_t anchor = caret;
    if (selLength_ != 0 && caret == start)
      anchor = stop;
    else if (selLength_ != 0 && caret == stop)
      anchor = start;
    else if (selLength_ != 0)
      BlockMode = false;
    const bool block = BlockMode;
    PlaceSelection(target, anchor - target);
    VirtualColumn = virtualColumn;
    BlockMode = block;
    if (block) BlockStopCol = ScreenColumn();
  } else if (Options.Contains(pmoPersistentBlocks) && selLength_ != 0) {
    PlaceCaret(target);
    VirtualColumn = virtualColumn;
  } else {
    BlockMode = false;
    PlaceSelection(target, 0);
    VirtualColumn = virtualColumn;
  }
  RememberedX = keepRememberedX ? remembered : INT32_MIN;
  CaretMoved = true;
  NotifySelMove();
  ScrollInView();
}

void TPlusMemoU::MoveLeft(TShiftState shift) {
  TPlusNavigatorU& caret = *caretNav_;
  const int32_t pos = caret.Pos();
  if (shift.Ctrl) {
    TPlusNavigatorU nav(this);
    nav.SetPos(pos);
    nav.PrevWord(Separators);
    EndCaretMove(nav.Pos(), 0, shift.Shift);
    return;
  }
  if (VirtualColumn > 0) {
    EndCaretMove(pos, VirtualColumn - 1, shift.Shift);
    return;
  }
  const int par = caret.ParNumber();
  const int32_t offset = caret.ParOffset();
  if (offset == 0) {
    if (par == 0) {
      EndCaretMove(pos, 0, shift.Shift);
      return;
    }
    const std::u16string_view previous = paragraphs_->TextView(par - 1);
    const int32_t end =
        Options.Contains(pmoDiscardTrailingSpaces) ? TrimmedLength(previous) : static_cast<int32_t>(previous.size());
    EndCaretMove(ParagraphStart(par - 1) + end, 0, shift.Shift);
    return;
  }
  const std::u16string_view text = paragraphs_->TextView(par);
  const bool overCodes = PassOverCodes && StaticFormat();
  int32_t to = offset;
  // Format codes take no room on the screen: the caret passes them and one character.
  do {
    --to;
  } while (overCodes && to > 0 && IsFormatCode(text[static_cast<size_t>(to)]));
  EndCaretMove(ParagraphStart(par) + to, 0, shift.Shift);
}

void TPlusMemoU::MoveRight(TShiftState shift) {
  TPlusNavigatorU& caret = *caretNav_;
  const int32_t pos = caret.Pos();
  if (shift.Ctrl) {
    TPlusNavigatorU nav(this);
    nav.SetPos(pos);
    nav.NextWord(Separators);
    EndCaretMove(nav.Pos(), 0, shift.Shift);
    return;
  }
  const int par = caret.ParNumber();
  const int32_t offset = caret.ParOffset();
  const std::u16string_view text = paragraphs_->TextView(par);
  const int32_t length = static_cast<int32_t>(text.size());
  const bool hasNext = par < ParagraphCount() - 1;
  const bool freeSpace = (Options.Contains(pmoKeepColumnPos) && !Options.Contains(pmoWrapCaret)) || BlockMode;
  // Trailing blanks count as free space: the caret skips them to the next paragraph.
  const bool onlyBlanksLeft =
      Options.Contains(pmoDiscardTrailingSpaces) && offset < length && TrimmedLength(text) <= offset;
  if (offset >= length || (onlyBlanksLeft && hasNext)) {
    if (freeSpace && !onlyBlanksLeft)
      EndCaretMove(pos, VirtualColumn + 1, shift.Shift);
    else
      EndCaretMove(hasNext ? ParagraphStart(par + 1) : pos, 0, shift.Shift);
    return;
  }
  const bool overCodes = PassOverCodes && StaticFormat();
  int32_t to = offset;
  do {
    ++to;
  } while (overCodes && to < length && IsFormatCode(text[static_cast<size_t>(to - 1)]));
  EndCaretMove(ParagraphStart(par) + to, 0, shift.Shift);
}

void TPlusMemoU::MoveVertically(int32_t lines, TShiftState shift) {
  const bool persistent = Options.Contains(pmoPersistentBlocks);
  if (!shift.Shift && !persistent) BlockMode = false;
  TPlusNavigatorU& caret = *caretNav_;
  const int average = AverageWidth();
  const bool freshX = !WordWrap && Options.Contains(pmoPutExtraSpaces) && !Options.Contains(pmoKeepColumnPos);
  if (RememberedX == INT32_MIN || freshX)
    RememberedX = static_cast<int32_t>(std::min<int64_t>(TextX(caret) + int64_t{VirtualColumn} * average, INT32_MAX));
  const int32_t line = caret.LineNumber();
  LayOutUpToLine(line + std::max(lines, 0));
  const int32_t target = std::clamp(line + lines, 0, std::max(LineCount() - 1, 0));
  if (target == line) {
    EndCaretMove(caret.Pos(), VirtualColumn, shift.Shift, true);
    return;
  }
  int64_t landed = 0;
  const int32_t pos = PosAtX(target, RememberedX, landed);
  int32_t virtualColumn = 0;
  const bool keepColumn = Options.Contains(pmoKeepColumnPos) || BlockMode;
  if (keepColumn && (!shift.Shift || BlockMode || persistent) && landed < RememberedX) {
    TPlusNavigatorU nav(this);
    nav.SetPos(pos);
    const bool atEnd = nav.ParOffset() >= paragraphs_->Length(nav.ParNumber());
    if (atEnd || nav.CharAt() == u'\t') virtualColumn = static_cast<int32_t>((RememberedX - landed) / average);
  }
  EndCaretMove(pos, virtualColumn, shift.Shift, true);
}

void TPlusMemoU::PageMove(int direction, TShiftState shift) {
  const int32_t lines = std::max(VisibleLines() - 1, 1);
  if (layout_ && !shift.Ctrl) {
    // The view scrolls by the page only while the caret is on the screen.
    const int height = std::max(layout_->LineHeight(), 1);
    const int top = layout_->PosY(*caretNav_) - layout_->Ascent();
    if (top >= 0 && top < LayoutSettings.ClientHeight) {
      const int bottom = std::max(LineCount() * height + 2 - LayoutSettings.ClientHeight, 0);
      SetScrollPos(HScroll(), std::clamp(VScroll() + direction * lines * height, 0, std::max(bottom, VScroll())));
    }
  }
  MoveVertically(direction * lines, shift);
}

}  // namespace qm
