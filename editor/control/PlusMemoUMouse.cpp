// TPlusMemoU's mouse: presses, drag selection, line selection, column blocks, drag and drop, double-click, wheel, cursors, context runs and the built-in menu.
#include <algorithm>
#include <cstdint>

#include "editor/control/PlusMemoU.h"

namespace qm {

namespace {

TClipboard& ClipboardOf(TClipboard* own) { return own != nullptr ? *own : PlatformClipboard(); }

}  // namespace

int32_t TPlusMemoU::PointPos(int x, int y, int32_t& virtualColumn) {
  virtualColumn = 0;
  TPlusNavigatorU nav(this);
  layout_->SetPoint(nav, x, y);
  if ((Options.Contains(pmoKeepColumnPos) || BlockMode) && !WordWrap) {
    // Beyond a paragraph end, or on a tab, the click lands in free space.
    const bool atEnd = nav.ParOffset() >= paragraphs_->Length(nav.ParNumber());
    const int left = layout_->PosX(nav);
    if ((atEnd || nav.CharAt() == u'\t') && x > left) virtualColumn = (x - left) / AverageWidth();
  }
  return nav.Pos();
}

bool TPlusMemoU::OverSelection(int32_t pos) const {
  // A column block is not dragged: its text is not the stream between its ends.
  return selLength_ != 0 && !BlockMode && pos >= selStartNav_->Pos() && pos < selStopNav_->Pos();
}

void TPlusMemoU::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) leftPressed_ = true;
  if (button == mbLeft && layout_ && !DisplayOnly()) {
    mouseDownX_ = x;
    mouseDownY_ = y;
    dragPending_ = false;
    lineSelecting_ = false;
    const bool inMargin = x < LayoutSettings.LeftMargin - HScroll() - 2 && !Options.Contains(pmoNoLineSelection);
    const bool block = shift.Alt && Options.Contains(pmoBlockSelection) && !WordWrap;
    if (block) BlockMode = true;
    int32_t virtualColumn = 0;
    const int32_t pos = PointPos(x, y, virtualColumn);
    if (block) BlockMode = false;
    if (!shift.Shift && !inMargin && !block && !ReadOnly && !Options.Contains(pmoNoDragnDrop) && OverSelection(pos)) {
      // Nothing moves yet: a release without moving places the caret.
      dragPending_ = true;
    } else if (inMargin) {
      TPlusNavigatorU nav(this);
      layout_->SetPoint(nav, x, y);
      const int par = nav.ParNumber();
      const int inPar = nav.LineInPar();
      const TLineInfo line = paragraphs_->LineInfo(par, inPar);
      const int32_t start = ParagraphStart(par) + line.LineStart;
      int32_t stop = ParagraphStart(par) + line.LineStop;
      // The break goes with the paragraph's last line, except in the last paragraph.
      if (inPar == paragraphs_->LineCountOf(par) - 1 && par < ParagraphCount() - 1) stop += 2;
      SetSelStart(stop);
      SetSelLength(start - stop);
      lineSelecting_ = true;
    } else if (block) {
      SetSelStart(pos);
      VirtualColumn = virtualColumn;
      BlockMode = true;
      BlockStartCol = ScreenColumn();
      BlockStopCol = BlockStartCol;
    } else if (shift.Shift) {
      EndCaretMove(pos, virtualColumn, true);
    } else {
      SetSelStart(pos);
      VirtualColumn = virtualColumn;
    }
    mouseAnchor_ = SelStart() + SelLength();
    mouseDownPos_ = pos;
    CaretMoved = true;
    NotifySelMove();
    if (!dragPending_) ScrollInView();
  }
  if (OnAfterMouseDown) OnAfterMouseDown(this, button, shift, x, y);
}

void TPlusMemoU::MouseMove(TShiftState, int x, int y) {
  if (mouseDownPos_ < 0 || !layout_) return;
  if (dragPending_) {
    if (x != mouseDownX_ || y != mouseDownY_) dragging_ = true;
    return;
  }
  if (dragging_) return;
  // A point outside the view puts the caret on a line out of view, and
  // scrolling it into view is what scrolls while selecting.
  int32_t virtualColumn = 0;
  const int32_t pos = PointPos(x, y, virtualColumn);
  const bool block = BlockMode;
  PlaceSelection(pos, mouseAnchor_ - pos);
  VirtualColumn = virtualColumn;
  BlockMode = block;
  if (block) BlockStopCol = ScreenColumn();
  CaretMoved = true;
  NotifySelMove();
  ScrollInView();
}

void TPlusMemoU::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  int32_t at = -1;
  if (button == mbLeft && leftPressed_) {
    leftPressed_ = false;
    if (OnClick) OnClick(this);
  }
  if (button == mbLeft) {
    const bool dropped = dragging_;
    if (dragging_) Drop(x, y, shift.Ctrl);
    if (dragPending_ && !dragging_) SetSelStart(mouseDownPos_);
    dragging_ = false;
    dragPending_ = false;
    lineSelecting_ = false;
    // A drag that selected or moved text is not a click on a context.
    if (!dropped && mouseDownPos_ >= 0 && SelLength() == 0) at = mouseDownPos_;
    mouseDownPos_ = -1;
  } else if (layout_) {
    TPlusNavigatorU nav(this);
    layout_->SetPoint(nav, x, y);
    at = nav.Pos();
  }
  int32_t context = 0;
  int32_t start = 0;
  int32_t stop = 0;
  if (at >= 0 && ContextRunAt(at, context, start, stop)) {
    NotifyListeners(button == mbLeft ? pnContextClickLeft : pnContextClickOther);
    if (OnContext) OnContext(this, context, start, stop);
  }
  if (button == mbRight && PopupMenu == nullptr && !Options.Contains(pmoNoDefaultPopup) && host_ != nullptr)
    host_->ShowPopupMenu(x, y, DefaultPopupItems());
}

void TPlusMemoU::Drop(int x, int y, bool copy) {
  int32_t virtualColumn = 0;
  const int32_t pos = PointPos(x, y, virtualColumn);
  const int32_t start = selStartNav_->Pos();
  const int32_t stop = selStopNav_->Pos();
  if (pos >= start && pos <= stop) {
    const int32_t before = SelStart();
    SetSelStart(pos);
    // The caret may already stand there; the drop is still announced.
    if (before == pos && OnSelMove) OnSelMove(this);
    return;
  }
  const std::u16string text = GetTextRange(start, stop);
  // The target rides on a navigator across the deletion at the source.
  TPlusNavigatorU target(this);
  target.SetPos(pos);
  if (!copy) {
    SetSelStart(stop);
    SetSelLength(start - stop);
    SetSelTextBuf(nullptr);
  }
  SetSelStart(target.Pos());
  const int32_t from = SelStart();
  SetSelTextBuf(text.c_str());
  // A move is one undo step: the insertion is linked to the deletion.
  if (!copy) LinkLastUndoRecord();
  const int32_t to = SelStart();
  SetSelStart(to);
  SetSelLength(from - to);
}

void TPlusMemoU::MouseDblClick(int x, int y) {
  if (OnDblClick) OnDblClick(this);
  if (DisplayOnly() || !layout_) return;
  TPlusNavigatorU start(this);
  layout_->SetPoint(start, x, y);
  TPlusNavigatorU stop(this);
  stop.SetPos(start.Pos());
  start.WordStart(Separators);
  stop.WordEnd(Separators);
  SetSelStart(stop.Pos());
  SetSelLength(start.Pos() - stop.Pos());
  mouseDownPos_ = -1;
  dragPending_ = false;
}

void TPlusMemoU::MouseWheel(int delta) {
  if (!layout_) return;
  if (MouseWheelFactor < 0) MouseWheelFactor = host_->WheelScrollLines();
  // High-resolution wheels send parts of a notch; they add up to whole notches.
  wheelRemainder_ += delta;
  const int notches = wheelRemainder_ / 120;
  wheelRemainder_ -= notches * 120;
  if (notches == 0) return;
  const int64_t height = std::max(layout_->LineHeight(), 1);
  const int64_t bottom = std::max<int64_t>(int64_t{LineCount()} * height + 2 - LayoutSettings.ClientHeight, 0);
  int64_t v = int64_t{VScroll()} - int64_t{notches} * MouseWheelFactor * height;
  v = std::clamp<int64_t>(v, 0, std::max<int64_t>(bottom, VScroll()));
  if (Options.Contains(pmoNoFineScroll)) v -= v % height;
  SetScrollPos(HScroll(), static_cast<int>(v));
}

const TTextMark* TPlusMemoU::MarkAtPoint(int x, int y) {
  if (!layout_ || marks_.All().empty()) return nullptr;
  // Below the last line the point is over no text at all.
  if (y < 0 || static_cast<int64_t>(y) + VScroll() >= int64_t{paragraphs_->LineCount} * layout_->LineHeight())
    return nullptr;
  TPlusNavigatorU nav(this);
  layout_->SetPoint(nav, x, y);
  // The point lands on the nearer edge of a character: one right of it is
  // the edge after the character under the pointer.
  int32_t pos = nav.Pos();
  if (layout_->PosX(nav) > x && nav.ParOffset() > 0) --pos;
  return marks_.At(pos);
}

TpmCursorInfo TPlusMemoU::CursorAt(int x, int y, TShiftState shift) {
  if (!layout_) return {};
  if (dragging_) return {shift.Ctrl ? TpmCursor::crDragCopy : TpmCursor::crDrag, 0};
  if (x < LayoutSettings.LeftMargin - HScroll() - 2 && !Options.Contains(pmoNoLineSelection))
    return {TpmCursor::crLineSelect, 0};
  TPlusNavigatorU nav(this);
  layout_->SetPoint(nav, x, y);
  if (!DisplayOnly() && !ReadOnly && !Options.Contains(pmoNoDragnDrop) && OverSelection(nav.Pos()))
    return {TpmCursor::crDrag, 0};
  if (nav.ParOffset() < paragraphs_->Length(nav.ParNumber())) {
    const int16_t cursor = nav.Style().Cursor;
    if (cursor != 0) return {TpmCursor::crRun, cursor};
  }
  return {};
}

std::vector<TpmMenuItem> TPlusMemoU::DefaultPopupItems() {
  const bool selected = SelLength() != 0;
  const bool editable = !ReadOnly && !DisplayOnly();
  const bool clipText = ClipboardOf(Clipboard).Text().has_value();
  return {
      {"&Undo", CanUndo(), [this] { Undo(); }},
      {"&Redo", CanRedo(), [this] { Redo(); }},
      {"-", false, {}},
      {"Cu&t", selected && editable, [this] { CutToClipboard(); }},
      {"&Copy", selected, [this] { CopyToClipboard(); }},
      {"&Paste", clipText && editable, [this] { PasteFromClipboard(); }},
      {"-", false, {}},
      {"&Select all", true, [this] { SelectAll(); }},
  };
}

void TPlusMemoU::Painted() {
  message_ = TpmMessage{mkPaint, TpmKey::kNone, {}, 0};
  NotifyListeners(pnAfterMessage);
  message_ = TpmMessage{};
}

bool TPlusMemoU::ContextRunAt(int32_t pos, int32_t& context, int32_t& start, int32_t& stop) const {
  if (pos < 0 || pos >= TextLength()) return false;
  const TParagraphsList& list = *paragraphs_;
  TPlusNavigatorU nav(const_cast<TPlusMemoU*>(this));
  nav.SetPos(pos);
  const int par = nav.ParNumber();
  const int32_t offset = nav.ParOffset();
  if (offset >= list.Length(par)) return false;  // on a break
  // The run in effect: the last one at or before the offset, looking back across paragraphs.
  int runPar = par;
  int k = scan::FirstRun(list, par, offset, true) - 1;
  while (k < 0 && runPar > 0) {
    --runPar;
    k = list.RunCount(runPar) - 1;
  }
  if (k < 0) return false;
  const TDynInfo run = list.Run(runPar, k);
  if (!(run.Kind & dkHighlight) || run.ContextNum == 0) return false;
  context = run.ContextNum;
  start = list.StartOffset(runPar) + run.Offset;
  // It ends where the next run starts, or at the text end.
  stop = TextLength();
  int nextPar = runPar;
  int next = k + 1;
  while (nextPar < list.Count) {
    if (next < list.RunCount(nextPar)) {
      stop = list.StartOffset(nextPar) + list.Run(nextPar, next).Offset;
      break;
    }
    ++nextPar;
    next = 0;
  }
  return true;
}

}  // namespace qm
