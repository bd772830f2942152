// The editor control's selection, its one edit path with undo recording, undo and redo, and update bracketing.
#include <algorithm>

#include "editor/control/PlusMemoU.h"
#include "editor/store/WideStr.h"
#include "platform/CodePage.h"
#include "platform/Exceptions.h"

namespace qm {

int32_t TPlusMemoU::SelStart() const { return caretNav_->Pos(); }

std::u16string TPlusMemoU::SelText() const {
  if (BlockMode) return BlockText();
  return GetTextRange(selStartNav_->Pos(), selStopNav_->Pos());
}

void TPlusMemoU::PlaceSelection(int32_t caret, int32_t n) {
  // The lines of the old selection and caret, and of the new ones, need repainting.
  int32_t oldFrom = 0;
  int32_t oldTo = -1;
  if (host_ != nullptr) {
    oldFrom = std::min(selStartNav_->LineNumber(), caretNav_->LineNumber());
    oldTo = std::max(selStopNav_->LineNumber(), caretNav_->LineNumber());
  }
  const int32_t length = TextLength();
  caret = std::clamp(caret, 0, length);
  n = std::clamp(n, -caret, length - caret);
  selLength_ = n;
  caretNav_->SetPos(caret);
  selStartNav_->SetPos(std::min(caret, caret + n));
  selStopNav_->SetPos(std::max(caret, caret + n));
  if (host_ != nullptr) {
    InvalidateLines(oldFrom, oldTo);
    InvalidateLines(std::min(selStartNav_->LineNumber(), caretNav_->LineNumber()),
                    std::max(selStopNav_->LineNumber(), caretNav_->LineNumber()));
  }
}

void TPlusMemoU::NotifySelMove() {
  if (UpdateCount > 0) return;
  const uint8_t style = caretNav_->StaticStyle();
  if (style != notifiedStyle_) {
    notifiedStyle_ = style;
    NotifyListeners(pnStyleChanged);
    if (OnStyleChange) OnStyleChange(this);
  }
  const int32_t caret = SelStart();
  if (caret == notifiedCaret_ && VirtualColumn == notifiedColumn_) return;
  notifiedCaret_ = caret;
  notifiedColumn_ = VirtualColumn;
  NotifyListeners(pnCaretMoved);
  if (OnSelMove) OnSelMove(this);
}

void TPlusMemoU::SetSelStart(int32_t p) {
  selLength_ = 0;
  VirtualColumn = 0;
  RememberedX = INT32_MIN;
  BlockMode = false;
  PlaceSelection(p, 0);
  CaretMoved = true;
  NotifySelMove();
}

void TPlusMemoU::SetSelLength(int32_t n) {
  BlockMode = false;
  PlaceSelection(SelStart(), n);
  CaretMoved = true;
}

int32_t TPlusMemoU::CaretLine() const { return caretNav_->LineNumber(); }

int32_t TPlusMemoU::CaretColumn() const { return caretNav_->LineOffset() + VirtualColumn; }

std::u16string TPlusMemoU::WordAtCaret() const { return caretNav_->CurrentWord(Separators); }

void TPlusMemoU::SelectAll() {
  SetSelStart(TextLength());
  SetSelLength(-TextLength());
}

void TPlusMemoU::GoToParagraph(int i) { SetSelStart(ParagraphStart(std::clamp(i, 0, ParagraphCount() - 1))); }

void TPlusMemoU::SetCaretLine(int32_t line) {
  LayOutUpToLine(line);
  TPlusNavigatorU nav(this);
  nav.SetLineNumber(std::max(line, 0));
  SetSelStart(nav.Pos());
}

void TPlusMemoU::SetCaretColumn(int32_t column) {
  const int32_t caret = SelStart();
  SetSelStart(caret);
  TPlusNavigatorU nav(this);
  nav.SetPos(caret);
  const TLineInfo line = paragraphs_->LineInfo(nav.ParNumber(), nav.LineInPar());
  const int32_t width = line.LineStop - line.LineStart;
  nav.SetLineOffset(std::max(column, 0));
  SetSelStart(nav.Pos());
  if (Options.Contains(pmoKeepColumnPos) && !WordWrap && column > width) VirtualColumn = column - width;
}

// --- the edit path ---

void TPlusMemoU::RecordUndo(int32_t start, int32_t stop, bool& keep, std::u16string* removed) {
  keep = false;
  if (loading_ || undoMaxLevel_ < 1) return;
  if (!undoRunning_) undo_.Truncate(undo_.Position);
  // Uninterrupted typing extends the last record.
  const bool merge = selLength_ == 0 && undo_.Position > 0 && !undoRunning_ && !CaretMoved &&
                     SelStart() == undo_[undo_.Position - 1].Stop &&
                     undo_[undo_.Position - 1].Stop != undo_[undo_.Position - 1].Start;
  CaretMoved = false;
  if (merge) {
    keep = true;
    return;
  }
  auto record = std::make_unique<TUndoRecord>();
  record->Start = start;
  record->Stop = start;
  if (removed != nullptr && static_cast<int64_t>(removed->size()) == int64_t{stop} - start)
    record->Text = std::move(*removed);
  else
    record->Text = GetTextRange(start, stop);
  if (undo_.Position < undo_.Count()) {
    undo_.Replace(undo_.Position, std::move(record));
  } else {
    while (undoMaxLevel_ < undo_.Position) undo_.DropOldest(1);
    undo_.Append(std::move(record));
  }
  ++undo_.Position;
  undo_.FitSpace(undoMaxSpace_);
  keep = undo_.Position > 0;
}

void TPlusMemoU::SetSelTextBuf(const char16_t* text) {
  ReplaceSelection(text != nullptr ? std::u16string(text) : std::u16string());
}

void TPlusMemoU::ReplaceSelection(std::u16string t, std::u16string* removed) {
  if (OnBeforeChange) OnBeforeChange(this, t);
  if (selLength_ == 0 && t.empty() && !BlockMode) return;
  if (BlockMode) {
    BeginUpdate();
    DeleteBlock();
    EndUpdate();
    if (t.empty()) return;
  }
  VirtualColumn = 0;
  RememberedX = INT32_MIN;

  int32_t start = selStartNav_->Pos();
  int32_t stop = selStopNav_->Pos();
  // A selection end between the two characters of a break takes the whole break.
  if (start > 0 && GetTextRange(start - 1, start) == u"\r" && GetTextRange(start, start + 1) == u"\n") --start;
  if (stop > 0 && GetTextRange(stop - 1, stop) == u"\r" && GetTextRange(stop, stop + 1) == u"\n") ++stop;

  // The undo record is made first; if the replacement fails it must not stay.
  const int32_t undoPosition = undo_.Position;
  const bool caretMoved = CaretMoved;
  const TUndoRecord last = undo_.Position > 0 ? undo_[undo_.Position - 1] : TUndoRecord{};
  const int undoCount = undo_.Count();
  bool keep = false;
  RecordUndo(start, stop, keep, removed);
  TReplaceResult r;
  try {
    r = ReplaceRangeOwned(start, stop, std::move(t));
  } catch (...) {
    if (undo_.Position != undoPosition || undo_.Count() != undoCount) {
      if (undoRunning_ == 0 && undo_.Count() == undoCount + 1) undo_.Truncate(undoCount);
      undo_.Position = std::min(undoPosition, undo_.Count());
    } else if (keep && undo_.Position > 0) {
      undo_[undo_.Position - 1] = last;
    }
    CaretMoved = caretMoved;
    throw;
  }
  // The new text runs from start (which the replacement keeps) to the end of its last line.
  const int32_t newEnd = paragraphs_->StartOffset(r.TailParagraph) + r.TailOffset;
  if (keep) undo_[undo_.Position - 1].Stop = newEnd;

  BlockMode = false;
  PlaceSelection(newEnd, 0);
  // Undo and redo put back exactly what was there: cleaning them would make
  // new records in the middle of the history and lose the way back.
  if (StaticFormat() && !cleaningCodes_ && undoRunning_ == 0) CleanFormatCodes(start, newEnd);
  // Inside an update the store's Changed flag waits for the outermost EndUpdate.
  if (UpdateCount == 0) FinishChange();
}

void TPlusMemoU::CleanFormatCodes(int32_t from, int32_t to) {
  // Pairs of equal format codes with only codes between them are deleted one
  // code at a time, each an ordinary replacement.
  TPlusNavigatorU caret(this);
  caret.SetPos(SelStart());
  cleaningCodes_ = true;
  const int first = paragraphs_->ParagraphOfPosition(from);
  const int last = paragraphs_->ParagraphOfPosition(to);
  for (int par = first; par <= last && par < ParagraphCount(); ++par) {
    bool removed = true;
    while (removed) {
      removed = false;
      const std::u16string text = ParagraphText(par);
      size_t runStart = 0;
      for (size_t i = 0; i < text.size() && !removed; ++i) {
        if (!IsFormatCode(text[i])) {
          runStart = i + 1;
          continue;
        }
        const size_t j = text.find(text[i], runStart);
        if (j < i) {
          const int32_t at = ParagraphStart(par);
          SetSelStart(at + static_cast<int32_t>(i));
          SetSelLength(1);
          SetSelTextBuf(nullptr);
          SetSelStart(at + static_cast<int32_t>(j));
          SetSelLength(1);
          SetSelTextBuf(nullptr);
          removed = true;
        }
      }
    }
  }
  cleaningCodes_ = false;
  PlaceSelection(caret.Pos(), 0);
}

void TPlusMemoU::FinishChange() {
  const bool changed = paragraphs_->Changed;
  if (changed && layout_) {
    // The caret's paragraph now, the rest by the update mode's policy.
    layout_->LayOut(caretNav_->ParNumber());
    InvalidateChanged();
    formatter_->Wake();
    host_->ScrollBarsChanged();
    ScrollInView();
  }
  if (changed) {
    paragraphs_->Changed = false;
    NotifyListeners(pnTextChanged);
    if (OnChange) OnChange(this);
  }
  NotifySelMove();
}

void TPlusMemoU::SetSelText(std::u16string_view text) {
  std::u16string t(text);
  if (Options.Contains(pmoPutExtraSpaces) && VirtualColumn > 0 && !(BlockMode && selLength_ != 0))
    t.insert(0, static_cast<size_t>(VirtualColumn), u' ');
  SetSelTextBuf(t.c_str());
}

void TPlusMemoU::ClearSelection() { SetSelText(u""); }

void TPlusMemoU::SetTextBuf(const char16_t* text) {
  SelectAll();
  SetSelTextBuf(text);
}

void TPlusMemoU::SetText(std::u16string_view text) {
  const std::u16string t(text);
  SetTextBuf(t.c_str());
}

void TPlusMemoU::Clear() { SetText(u""); }

// --- column blocks ---

std::u16string TPlusMemoU::BlockText() const {
  std::u16string out;
  const int first = selStartNav_->ParNumber();
  const int last = selStopNav_->ParNumber();
  const int32_t lo = std::min(BlockStartCol, BlockStopCol);
  const int32_t hi = std::max(BlockStartCol, BlockStopCol);
  for (int par = first; par <= last; ++par) {
    const std::u16string_view text = paragraphs_->TextView(par);
    const int32_t a = ColumnToOffset(text, lo, TabStops, StaticFormat());
    const int32_t b = ColumnToOffset(text, hi, TabStops, StaticFormat());
    out.append(text.substr(static_cast<size_t>(a), static_cast<size_t>(std::max(b - a, 0))));
    out += u"\r\n";
  }
  return out;
}

void TPlusMemoU::DeleteBlock() {
  const int first = selStartNav_->ParNumber();
  const int last = selStopNav_->ParNumber();
  const int32_t lo = std::min(BlockStartCol, BlockStopCol);
  const int32_t hi = std::max(BlockStartCol, BlockStopCol);
  BlockMode = false;
  for (int par = first; par <= last; ++par) {
    const std::u16string_view text = paragraphs_->TextView(par);
    const int32_t a = ColumnToOffset(text, lo, TabStops, StaticFormat());
    const int32_t b = ColumnToOffset(text, hi, TabStops, StaticFormat());
    SetSelStart(ParagraphStart(par) + a);
    if (b > a) {
      SetSelLength(b - a);
      SetSelTextBuf(nullptr);
    }
  }
}

void TPlusMemoU::InsertColumnBlock(std::u16string_view text) {
  // The selection is not replaced: the caret placement collapses it, or with
  // pmoNoOverwriteBlocks it is kept around the insertion.
  KeepingBlock([&] { InsertColumns(text); });
}

void TPlusMemoU::InsertColumns(std::u16string_view text) {
  // The lines pass through the 8-bit code page, as a single-byte string list would.
  const std::u16string converted = AnsiToWide(WideToAnsi(text));
  std::vector<std::u16string> lines;
  size_t at = 0;
  while (true) {
    const size_t brk = converted.find(u"\r\n", at);
    lines.push_back(converted.substr(at, brk == std::u16string::npos ? std::u16string::npos : brk - at));
    if (brk == std::u16string::npos) break;
    at = brk + 2;
  }
  if (lines.size() > 1 && lines.back().empty()) lines.pop_back();
  const int caretPar = caretNav_->ParNumber();
  int32_t column = OffsetToColumn(paragraphs_->TextView(caretPar), caretNav_->ParOffset(), TabStops, StaticFormat());
  if (layout_) {
    // On the screen the column is where the caret stands in average character widths.
    const int average = std::max(layout_->AverageCharWidth(), 1);
    column = std::max(0, (layout_->PosX(*caretNav_) + layout_->HScroll - LayoutSettings.LeftMargin) / average);
  }
  column += VirtualColumn;
  BeginUpdate();
  for (size_t k = 0; k < lines.size(); ++k) {
    const int par = caretPar + static_cast<int>(k);
    if (par >= ParagraphCount()) {
      SetSelStart(TextLength());
      SetSelTextBuf(u"\r\n");
    }
    const std::u16string_view paragraph = paragraphs_->TextView(par);
    const int32_t offset = ColumnToOffset(paragraph, column, TabStops, StaticFormat());
    const int32_t reached = OffsetToColumn(paragraph, offset, TabStops, StaticFormat());
    SetSelStart(ParagraphStart(par) + offset);
    std::u16string piece(static_cast<size_t>(std::max(column - reached, 0)), u' ');
    piece += lines[k];
    SetSelTextBuf(piece.c_str());
  }
  EndUpdate();
}

// --- undo ---

void TPlusMemoU::Undo() {
  if (undo_.Position == 0) return;
  const int r = undo_.Position - 1;
  const TUndoRecord record = undo_[r];
  SetSelStart(record.Start);
  SetSelLength(record.Stop - record.Start);
  ++undoRunning_;
  --undo_.Position;
  SetSelTextBuf(record.Text.c_str());
  if (undo_.Position > 0) --undo_.Position;
  --undoRunning_;
  if (record.Linked) {
    Undo();
    if (undo_.Position + 1 < undo_.Count()) undo_[undo_.Position + 1].Linked = true;
  }
}

void TPlusMemoU::Redo() {
  if (undo_.Position >= undo_.Count()) return;
  const TUndoRecord record = undo_[undo_.Position];
  SetSelStart(record.Start);
  SetSelLength(record.Stop - record.Start);
  ++undoRunning_;
  SetSelTextBuf(record.Text.c_str());
  --undoRunning_;
  if (undo_.Position < undo_.Count() && undo_[undo_.Position].Linked) {
    Redo();
    if (undo_.Position >= 1) undo_[undo_.Position - 1].Linked = true;
  }
}

void TPlusMemoU::ClearUndo() { undo_.Clear(); }

void TPlusMemoU::LinkLastUndoRecord() {
  if (undo_.Position >= 2) undo_[undo_.Position - 1].Linked = true;
}

bool TPlusMemoU::CanUndo() const { return undo_.Position >= (undoRunning_ ? 2 : 1); }

bool TPlusMemoU::CanRedo() const {
  return undoRunning_ ? undo_.Position <= undo_.Count() : undo_.Position < undo_.Count();
}

void TPlusMemoU::SetUndoMaxLevel(int32_t level) {
  if (level > TUndoList::kMaxLevel) throw EListError(kUndoSetTooHigh);
  undoMaxLevel_ = level;
  undo_.FitLevel(std::max(level, 0));
}

void TPlusMemoU::SetUndoMaxSpace(int32_t space) {
  undoMaxSpace_ = space;
  undo_.FitSpace(space);
}

// --- update bracketing ---

void TPlusMemoU::BeginUpdate() { ++UpdateCount; }

void TPlusMemoU::EndUpdate() {
  if (UpdateCount == 0) return;
  if (--UpdateCount == 0) FinishChange();
}

}  // namespace qm
