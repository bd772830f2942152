// TPlusMemoU and its window: the host link, layout ownership, update modes and scrolling.
#include <algorithm>
#include <cstdint>

#include "editor/control/FormatThread.h"
#include "editor/control/PlusMemoU.h"

namespace qm {

void TPlusMemoU::SetHost(TWindowHost* host) {
  if (host == host_) return;
  // The worker goes first: it may be waiting to run a step on the engine.
  formatter_.reset();
  painter_.reset();
  layout_.reset();
  host_ = host;
  if (host_ == nullptr) return;
  SyncLayoutSettings();
  layout_ = std::make_unique<TLayoutEngine>(*this, host_->Measurer(), LayoutSettings);
  painter_ = std::make_unique<TPainter>(*this, *layout_, PaintSettings);
  formatter_ = std::make_unique<TpmFormatter>(*this, *layout_, host_->Dispatcher());
  layout_->InvalidateAll();
  if (UpdateCount == 0) formatter_->Wake();
  host_->ScrollBarsChanged();
  host_->Invalidate();
}

void TPlusMemoU::SetUpdateMode(TpmUpdateMode mode) {
  if (formatter_) formatter_->Stop();
  updateMode_ = mode;
  if (formatter_ && UpdateCount == 0) formatter_->Wake();
}

void TPlusMemoU::SyncLayoutSettings() {
  LayoutSettings.WordWrap = WordWrap;
  LayoutSettings.TabStops = TabStops;
  LayoutSettings.StaticFormat = paragraphs_->StaticFormat;
}

void TPlusMemoU::LayoutChanged() {
  SyncLayoutSettings();
  if (!layout_) return;
  layout_->InvalidateAll();
  // Every line may have moved: the caret's line and column are found anew.
  for (TPlusNavigatorU* nav : navigators_) nav->Invalidate();
  if (UpdateCount == 0) formatter_->Wake();
  host_->ScrollBarsChanged();
  host_->Invalidate();
}

void TPlusMemoU::SetClientSize(int width, int height) {
  const bool widthChanged = width != LayoutSettings.ClientWidth;
  LayoutSettings.ClientWidth = width;
  LayoutSettings.ClientHeight = height;
  // Only lines wrapped to the client width depend on it.
  const bool wrapsToClient = (WordWrap || LayoutSettings.Alignment != taLeftJustify) && LayoutSettings.ColumnWrap == 0;
  if (widthChanged && (wrapsToClient || LayoutSettings.Justified))
    LayoutChanged();
  else if (host_ != nullptr)
    host_->ScrollBarsChanged();
}

int TPlusMemoU::HScroll() const { return layout_ ? layout_->HScroll : 0; }

int TPlusMemoU::VScroll() const { return layout_ ? layout_->VScroll : 0; }

void TPlusMemoU::SetScrollPos(int hScroll, int vScroll) {
  if (!layout_) return;
  hScroll = std::max(hScroll, 0);
  vScroll = std::max(vScroll, 0);
  const bool h = hScroll != layout_->HScroll;
  const bool v = vScroll != layout_->VScroll;
  if (!h && !v) return;
  layout_->HScroll = hScroll;
  layout_->VScroll = vScroll;
  host_->ScrollBarsChanged();
  host_->Invalidate();
  if (h && OnHScroll) OnHScroll(this);
  if (v && OnVScroll) OnVScroll(this);
}

void TPlusMemoU::ScrollInView() {
  if (!layout_) return;
  TLayoutEngine& layout = *layout_;
  TPlusNavigatorU& caret = *caretNav_;
  const int height = std::max(layout.LineHeight(), 1);
  const int viewHeight = LayoutSettings.ClientHeight;

  // PosY gives the client baseline; the content top of the line adds the scroll back.
  const int top = layout.PosY(caret) - layout.Ascent() + layout.VScroll;
  int vScroll = layout.VScroll;
  if (top < vScroll) {
    vScroll = top;
  } else if (top + height > vScroll + viewHeight) {
    if (Options.Contains(pmoNoFineScroll)) {
      // Whole lines: the caret line becomes the last fully visible one.
      const int fullLines = std::max(viewHeight / height, 1);
      vScroll = std::max(0, (top / height - fullLines + 1) * height);
    } else {
      const bool lastLine = caret.LineNumber() >= LineCount() - 1;
      vScroll = top + height - viewHeight + (lastLine ? 2 : 0);
    }
  }

  int hScroll = layout.HScroll;
  if (layout.HorizontalScrolling() || hScroll > 0) {
    const int average = std::max(layout.AverageCharWidth(), 1);
    const int step = 5 * average;
    const int x = layout.PosX(caret) + VirtualColumn * average + layout.HScroll;
    const int left = LayoutSettings.LeftMargin;
    while (hScroll > 0 && x - hScroll < left) hScroll = std::max(0, hScroll - step);
    // Room for the caret's own width at the right edge.
    if (layout.HorizontalScrolling())
      while (x - hScroll > LayoutSettings.ClientWidth - 2) hScroll += step;
  }
  SetScrollPos(hScroll, vScroll);
}

void TPlusMemoU::LayOutUpToLine(int32_t line) const {
  if (layout_) layout_->LayOutUpTo(line);
}

void TPlusMemoU::LayOutAllLines() const {
  if (layout_) layout_->LayOutAll();
}

std::u16string TPlusMemoU::LineText(int32_t i) const {
  LayOutUpToLine(i);
  if (i < 0 || i >= LineCount()) return {};
  const int par = paragraphs_->ParagraphOfLine(i);
  const int inPar = std::clamp(i - paragraphs_->StartLine(par), 0, paragraphs_->LineCountOf(par) - 1);
  const TLineInfo line = paragraphs_->LineInfo(par, inPar);
  const std::u16string_view text = paragraphs_->TextView(par);
  const size_t from = std::min<size_t>(static_cast<size_t>(std::max(line.LineStart, 0)), text.size());
  const size_t to = std::clamp<size_t>(static_cast<size_t>(std::max(line.LineStop, 0)), from, text.size());
  return std::u16string(text.substr(from, to - from));
}

void TPlusMemoU::InvalidateLines(int32_t from, int32_t to) {
  if (host_ == nullptr || !layout_ || to < from) return;
  const int64_t height = std::max(layout_->LineHeight(), 1);
  const int64_t top = std::max<int64_t>(int64_t{from} * height - layout_->VScroll, 0);
  const int64_t bottom = std::min<int64_t>((int64_t{to} + 1) * height - layout_->VScroll, LayoutSettings.ClientHeight);
  if (bottom <= top) return;
  host_->InvalidateRect(TRect{0, static_cast<int>(top), LayoutSettings.ClientWidth, static_cast<int>(bottom)});
}

void TPlusMemoU::InvalidateChanged() {
  const TParagraphsList& list = *paragraphs_;
  const int from = dirtyFrom_;
  const int last = dirtyTo_;
  const bool sameLineCount = list.LineCount == dirtyLineCount_;
  dirtyFrom_ = INT32_MAX;
  dirtyTo_ = -1;
  if (from > last) return;
  if (from >= list.Count) {
    host_->Invalidate();
    return;
  }
  int32_t to = INT32_MAX;
  // Lines below move when the line count changed. A next paragraph that lost
  // its layout may be restyled by a changed end style (an opened comment or
  // block). Either way everything below is repainted.
  if (sameLineCount && last < list.Count - 1 && (list.Flags(last + 1) & pfLaidOut))
    to = list.StartLine(last) + list.LineCountOf(last) - 1;
  InvalidateLines(list.StartLine(from), to);
}

void TPlusMemoU::SetOverwrite(bool on) {
  PaintSettings.Overwrite = on;
  if (host_ != nullptr) host_->Invalidate();
}

void TPlusMemoU::SetDisplayOnly(bool on) {
  PaintSettings.DisplayOnly = on;
  if (host_ != nullptr) host_->Invalidate();
}

void TPlusMemoU::SetHideSelection(bool on) {
  PaintSettings.HideSelection = on;
  if (host_ != nullptr) host_->Invalidate();
}

}  // namespace qm
