// TPlusMemoU's editing keys: typing with overwrite and free space, Enter with auto indent, Backspace with back indent, Delete, the smart-tab fill and no-overwrite blocks.
#include <algorithm>
#include <optional>
#include <string>

#include "editor/control/PlusMemoU.h"
#include "editor/store/WideStr.h"

namespace qm {

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

// The leading spaces and tabs of a line.
size_t IndentLength(std::u16string_view text) {
  size_t n = 0;
  while (n < text.size() && IsBlank(text[n])) ++n;
  return n;
}

}  // namespace

void TPlusMemoU::KeepingBlock(const std::function<void()>& edit) {
  if (!Options.Contains(pmoNoOverwriteBlocks) || selLength_ == 0) {
    edit();
    return;
  }
  const int32_t virtualColumn = VirtualColumn;
  if (!Options.Contains(pmoPersistentBlocks)) {
    // The selection is dropped, so the edit happens at the caret.
    BlockMode = false;
    PlaceSelection(SelStart(), 0);
    VirtualColumn = virtualColumn;
    edit();
    return;
  }
  // The block ends ride on navigators that follow the edit.
  TPlusNavigatorU start(this);
  TPlusNavigatorU stop(this);
  start.SetPos(selStartNav_->Pos());
  stop.SetPos(selStopNav_->Pos());
  const bool block = BlockMode;
  const int32_t startCol = BlockStartCol;
  const int32_t stopCol = BlockStopCol;
  const bool caretAtStart = selLength_ > 0;
  BlockMode = false;
  PlaceSelection(SelStart(), 0);
  VirtualColumn = virtualColumn;
  BeginUpdate();
  try {
    edit();
  } catch (...) {
    EndUpdate();
    throw;
  }
  const int32_t caret = SelStart();
  const int32_t caretColumn = VirtualColumn;
  if (start.Pos() == stop.Pos()) {
    // The edit swallowed the block: the selection ends rejoin the caret,
    // where the next edit must happen.
    PlaceSelection(caret, 0);
  } else {
    if (caretAtStart)
      PlaceSelection(start.Pos(), stop.Pos() - start.Pos());
    else
      PlaceSelection(stop.Pos(), start.Pos() - stop.Pos());
    BlockMode = block;
    BlockStartCol = startCol;
    BlockStopCol = stopCol;
    PlaceCaret(caret);
  }
  VirtualColumn = caretColumn;
  EndUpdate();
  ScrollInView();
}

void TPlusMemoU::SelectAndDelete(int32_t from, int32_t to) {
  SetSelStart(to);
  SetSelLength(from - to);
  SetSelTextBuf(nullptr);
}

void TPlusMemoU::KeepColumnAfterDelete(int32_t oldColumn) {
  if (!Options.Contains(pmoKeepColumnPos)) return;
  VirtualColumn = std::max(oldColumn - ScreenColumn(), 0);
  NotifySelMove();
}

void TPlusMemoU::TypeChar(char16_t c) {
  TPlusNavigatorU& caret = *caretNav_;
  const bool atParEnd = caret.ParOffset() >= paragraphs_->Length(caret.ParNumber());
  if (Overwrite() && selLength_ == 0 && !atParEnd) {
    SetSelLength(1);
  } else if (c == u' ' && selLength_ == 0 && atParEnd && Options.Contains(pmoDiscardTrailingSpaces) &&
             Options.Contains(pmoKeepColumnPos)) {
    // A trailing space would be dropped on saving: the caret only moves into free space.
    ++VirtualColumn;
    NotifySelMove();
    ScrollInView();
    return;
  }
  SetSelText(std::u16string(1, c));
}

void TPlusMemoU::Enter() {
  TPlusNavigatorU& caret = *caretNav_;
  if (Overwrite() && selLength_ == 0) {
    const int32_t line = caret.LineNumber();
    LayOutUpToLine(line + 1);
    if (line + 1 < LineCount()) {
      TPlusNavigatorU next(this);
      next.SetLineNumber(line + 1);
      SetSelStart(next.Pos());
      ScrollInView();
      return;
    }
    SetSelStart(TextLength());
    SetSelText(u"\r\n");
    return;
  }
  if (Options.Contains(pmoAutoIndent) && selLength_ == 0) {
    std::u16string indent;
    for (int32_t line = caret.LineNumber(); line >= 0; --line) {
      const std::u16string text = LineText(line);
      if (text.empty()) continue;
      indent = text.substr(0, std::min<size_t>(IndentLength(text), static_cast<size_t>(std::max(CaretColumn(), 0))));
      break;
    }
    const bool atParEnd = caret.ParOffset() >= paragraphs_->Length(caret.ParNumber());
    if (Options.Contains(pmoDiscardTrailingSpaces) && atParEnd) {
      // Blanks at the end of the new paragraph would be trimmed: the caret stands in free space instead.
      int32_t width = 0;
      for (char16_t c : indent) width += (c == u'\t' && TabStops > 0) ? TabStops : 1;
      SetSelText(u"\r\n");
      VirtualColumn = width;
      NotifySelMove();
      ScrollInView();
      return;
    }
    SetSelText(u"\r\n" + indent);
    return;
  }
  SetSelText(u"\r\n");
}

void TPlusMemoU::Backspace(bool ctrl) {
  if (selLength_ != 0) {
    ClearSelection();
    return;
  }
  TPlusNavigatorU& caret = *caretNav_;
  const int32_t pos = caret.Pos();
  const int par = caret.ParNumber();
  const int32_t offset = caret.ParOffset();
  const int32_t oldColumn = ScreenColumn();
  if (ctrl) {
    TPlusNavigatorU nav(this);
    nav.SetPos(pos);
    nav.PrevWord(Separators);
    if (nav.Pos() == pos) return;
    SelectAndDelete(nav.Pos(), pos);
    KeepColumnAfterDelete(oldColumn);
    return;
  }
  if (offset == 0 && VirtualColumn == 0) {
    if (par == 0) return;
    SelectAndDelete(pos - 2, pos);
    KeepColumnAfterDelete(oldColumn);
    return;
  }
  const std::u16string_view text = paragraphs_->TextView(par);
  const int32_t column = CaretColumn();
  if (Options.Contains(pmoBackIndent) && VirtualColumn == 0 && column > 0 &&
      static_cast<size_t>(column) == IndentLength(caret.LineText())) {
    // Back to the indentation of the nearest line above that is indented less.
    int32_t target = 0;
    for (int32_t line = caret.LineNumber() - 1; line >= 0; --line) {
      const std::u16string above = LineText(line);
      const int32_t indent = static_cast<int32_t>(IndentLength(above));
      if (above.empty() || indent < column) {
        target = above.empty() ? 0 : indent;
        break;
      }
    }
    SelectAndDelete(pos - (column - target), pos);
    KeepColumnAfterDelete(oldColumn);
    return;
  }
  if (VirtualColumn > 0) {
    --VirtualColumn;
    NotifySelMove();
    ScrollInView();
    return;
  }
  int32_t from = offset - 1;
  if (StaticFormat())
    while (from > 0 && IsFormatCode(text[static_cast<size_t>(from - 1)])) --from;
  SelectAndDelete(ParagraphStart(par) + from, pos);
  KeepColumnAfterDelete(oldColumn);
}

void TPlusMemoU::DeleteKey(TShiftState shift) {
  TPlusNavigatorU& caret = *caretNav_;
  const int32_t pos = caret.Pos();
  if (shift.Shift) {
    if (selLength_ != 0) {
      // Shift+Delete cuts, which copies even when the text cannot change.
      if (ReadOnly)
        CopyToClipboard();
      else
        CutToClipboard();
      return;
    }
    const int32_t back = caret.ParOffset() == 0 ? 2 : 1;
    if (pos < back) return;
    SetSelStart(pos);
    SetSelLength(-back);
    return;
  }
  if (shift.Ctrl) {
    // Within one display line: from the selection's start to the line's end.
    TPlusNavigatorU from(this);
    from.SetPos(selStartNav_->Pos());
    TPlusNavigatorU to(this);
    to.SetPos(selStopNav_->Pos());
    if (from.LineNumber() != to.LineNumber()) return;
    const TLineInfo line = paragraphs_->LineInfo(from.ParNumber(), from.LineInPar());
    const int32_t end = ParagraphStart(from.ParNumber()) + line.LineStop;
    SetSelStart(from.Pos());
    SetSelLength(end - from.Pos());
    return;
  }
  if (ReadOnly) return;
  KeepingBlock([&] {
    if (selLength_ != 0) {
      ClearSelection();
      return;
    }
    const int32_t at = SelStart();
    const int par = caretNav_->ParNumber();
    const int32_t offset = caretNav_->ParOffset();
    const std::u16string_view text = paragraphs_->TextView(par);
    const int32_t length = static_cast<int32_t>(text.size());
    const int32_t oldColumn = ScreenColumn();
    int32_t to = at + 1;
    if (offset >= length) {
      if (par >= ParagraphCount() - 1) return;
      to = at + 2;  // the whole CR LF break joins the next paragraph
    } else if (StaticFormat()) {
      int32_t o = offset + 1;
      while (o < length && IsFormatCode(text[static_cast<size_t>(o)])) ++o;
      to = ParagraphStart(par) + o;
    }
    SelectAndDelete(at, to);
    // The caret stays in place: a join keeps it in its free space.
    KeepColumnAfterDelete(oldColumn);
  });
}

std::u16string TPlusMemoU::SmartTabFill() {
  if (WordWrap) return u"\t";
  TPlusNavigatorU& caret = *caretNav_;
  const int par = caret.ParNumber();
  if (par == 0) return {};
  const bool codes = StaticFormat();
  const int32_t c = OffsetToColumn(paragraphs_->TextView(par), caret.ParOffset(), TabStops, codes) + VirtualColumn;
  for (int p = par - 1; p >= 0; --p) {
    const std::u16string_view text = paragraphs_->TextView(p);
    const int32_t length = static_cast<int32_t>(text.size());
    if (OffsetToColumn(text, length, TabStops, codes) <= c) continue;
    int32_t i = ColumnToOffset(text, c, TabStops, codes);
    // The rest of the word there, then the blanks after it.
    while (i < length && !IsBlank(text[static_cast<size_t>(i)])) ++i;
    while (i < length && IsBlank(text[static_cast<size_t>(i)])) ++i;
    const int32_t reached = OffsetToColumn(text, i, TabStops, codes);
    return std::u16string(static_cast<size_t>(std::max(reached - c, 0)), u' ');
  }
  return {};
}

}  // namespace qm
