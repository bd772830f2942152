// TPlusGutterU: the editor link, bookmarks as navigators, the bookmark keys, and painting numbers and icons through the surface.
#include "editor/gutter/PlusGutterU.h"

#include <algorithm>
#include <string>

#include "editor/gutter/BookmarkIcons.h"

namespace qm {

namespace {

// System colours of the separator.
constexpr TColor kButtonShadow = SystemColor(16);
constexpr TColor kButtonHighlight = SystemColor(20);

std::u16string NumberText(int32_t number) {
  std::u16string text;
  for (char c : std::to_string(number)) text += static_cast<char16_t>(c);
  return text;
}

}  // namespace

TPlusGutterU::~TPlusGutterU() { SetPlusMemoU(nullptr); }

void TPlusGutterU::SetPlusMemoU(TPlusMemoU* memo) {
  FreeBookmarks();
  if (memo_ != nullptr) memo_->RemoveListener(this);
  memo_ = memo;
  if (memo_ != nullptr) {
    memo_->AddListener(this);
    lastVScroll_ = memo_->VScroll();
    lastLineCount_ = memo_->LineCount();
    lastParCount_ = memo_->ParagraphCount();
  }
  Repaint();
}

void TPlusGutterU::FreeBookmarks() {
  for (auto& nav : bookmarks_) nav.reset();
  bookmarkLine_.fill(-1);
}

void TPlusGutterU::Repaint() {
  if (host_ != nullptr) host_->Invalidate();
}

TPlusNavigatorU* TPlusGutterU::Bookmark(int n) const {
  return n >= 0 && n < kBookmarkCount ? bookmarks_[static_cast<size_t>(n)].get() : nullptr;
}

int32_t TPlusGutterU::CurrentLine(int n) const {
  TPlusNavigatorU* nav = Bookmark(n);
  return nav != nullptr ? nav->LineNumber() : -1;
}

int TPlusGutterU::BookmarkAtLine(int32_t line) {
  for (int n = 0; n < kBookmarkCount; ++n)
    if (bookmarks_[static_cast<size_t>(n)] && CurrentLine(n) == line) return n;
  return -1;
}

void TPlusGutterU::SetBookmark(int32_t pos, int n) {
  if (memo_ == nullptr || n < 0 || n >= kBookmarkCount) return;
  auto& nav = bookmarks_[static_cast<size_t>(n)];
  if (!nav) nav = std::make_unique<TPlusNavigatorU>(memo_);
  nav->SetPos(std::clamp(pos, 0, memo_->TextLength()));
  RefreshResetFlags();
  Repaint();
}

bool TPlusGutterU::ToggleBookmark(int32_t line, int n) {
  if (memo_ == nullptr || n < 0 || n >= kBookmarkCount) return false;
  if (bookmarks_[static_cast<size_t>(n)] && CurrentLine(n) == line) {
    bookmarks_[static_cast<size_t>(n)].reset();
    Repaint();
    return true;
  }
  if (BookmarkAtLine(line) >= 0) return false;
  memo_->LayOutUpToLine(line);
  TPlusNavigatorU at(memo_);
  at.SetLineNumber(std::max(line, 0));
  SetBookmark(at.Pos(), n);
  return true;
}

void TPlusGutterU::RefreshResetFlags() {
  // A bookmark at a paragraph start re-derives its paragraph after a change
  // that covers it, so it stays at the start of its line.
  for (auto& nav : bookmarks_)
    if (nav) nav->ResetOnChange = nav->ParOffset() == 0;
}

int32_t TPlusGutterU::NumberedLines() const {
  if (memo_ == nullptr) return 0;
  int32_t count = memo_->LineCount();
  const int last = memo_->ParagraphCount() - 1;
  if (IgnoreLastLineIfEmpty && memo_->Paragraphs().Length(last) == 0) --count;
  return std::max(count, 0);
}

int32_t TPlusGutterU::NumberedParagraphs() const {
  if (memo_ == nullptr) return 0;
  int32_t count = memo_->ParagraphCount();
  if (IgnoreLastLineIfEmpty && memo_->Paragraphs().Length(count - 1) == 0) --count;
  return std::max(count, 0);
}

void TPlusGutterU::MemoNotify(TPlusMemoU& memo, uint32_t flags) {
  if (&memo != memo_) return;
  if (flags & pnMemoDestroyed) {
    // The navigators unregister from the editor while it is still whole.
    FreeBookmarks();
    memo_->RemoveListener(this);
    memo_ = nullptr;
    Repaint();
    return;
  }
  if (flags & pnTextChanged) {
    RefreshResetFlags();
    // Not every change of the numbers changes the counts the paint compares:
    // the first letter on an empty last line gives it its number.
    Repaint();
  }
  if (flags & pnRepaint) Repaint();
  if (flags & pnAfterMessage) LookAtMessage(memo.LastMessage());
}

void TPlusGutterU::LookAtMessage(const TpmMessage& message) {
  if (message.Kind == mkPaint) {
    LookAtPaint();
    return;
  }
  if (message.Kind != mkKeyDown || !Bookmarks) return;
  const TShiftState shift = message.Shift;
  const int n = DigitOfKey(message.Key);
  if (n < 0 || !shift.Ctrl || shift.Alt) return;
  if (shift.Shift) {
    SetBookmark(memo_->SelStart(), n);
    return;
  }
  if (TPlusNavigatorU* nav = Bookmark(n)) {
    memo_->SetSelStart(nav->Pos());
    memo_->ScrollInView();
  }
}

void TPlusGutterU::LookAtPaint() {
  bool changed = memo_->LineCount() != lastLineCount_ || memo_->ParagraphCount() != lastParCount_;
  for (int n = 0; n < kBookmarkCount && !changed; ++n) changed = CurrentLine(n) != bookmarkLine_[n];
  if (changed) {
    Repaint();
    return;
  }

  const int vScroll = memo_->VScroll();
  if (vScroll != lastVScroll_ && host_ != nullptr) {
    // Only the view moved: the pixels follow it and the uncovered strip is painted.
    const int dy = lastVScroll_ - vScroll;
    lastVScroll_ = vScroll;
    host_->ScrollPixels(dy);
  }
}

void TPlusGutterU::PaintLineMark(TSurface& surface, int32_t line, int top, int height) {
  // A bar along the left edge of a paragraph's first line that holds a mark,
  // in the colour of its heaviest mark.
  const TParagraphsList& list = memo_->Paragraphs();
  if (line >= list.LineCount) return;
  const int par = list.ParagraphOfLine(line);
  if (list.StartLine(par) != line) return;
  const int32_t start = list.StartOffset(par);
  if (const TTextMark* mark = memo_->Marks().Heaviest(start, start + list.Length(par) + 1))
    surface.FillRect(TRect{0, top, kLineMarkWidth, top + height}, mark->Colour);
}

void TPlusGutterU::Paint(TSurface& surface, const TRect& clip) {
  surface.FillRect(clip, Color);
  if (clip.Right >= Width) {
    surface.FillRect(TRect{Width - 2, clip.Top, Width - 1, clip.Bottom}, kButtonHighlight);
    surface.FillRect(TRect{Width - 1, clip.Top, Width, clip.Bottom}, kButtonShadow);
  }
  if (memo_ == nullptr || memo_->Layout() == nullptr) return;
  TLayoutEngine& layout = *memo_->Layout();
  lastVScroll_ = memo_->VScroll();
  lastLineCount_ = memo_->LineCount();
  lastParCount_ = memo_->ParagraphCount();
  for (int n = 0; n < kBookmarkCount; ++n) bookmarkLine_[n] = CurrentLine(n);

  const int height = std::max(layout.LineHeight(), 1);
  const int ascent = layout.Ascent();
  const int offset = host_ != nullptr ? host_->OffsetToEditor() : 0;
  const int32_t first = std::max((offset + clip.Top + lastVScroll_) / height, 0);
  const int32_t lines = NumberedLines();
  const int32_t paragraphs = NumberedParagraphs();
  const bool paragraphNumbers = ParagraphNumbers && memo_->WordWrap;
  const int digit = LineNumbers && Alignment != taLeftJustify ? surface.TextWidth(Font, u"0") : 0;
  const TParagraphsList& list = memo_->Paragraphs();

  int top = first * height - lastVScroll_ - offset;
  for (int32_t line = first; top < clip.Bottom && line < lines; ++line, top += height) {
    memo_->LayOutUpToLine(line);
    PaintLineMark(surface, line, top, height);
    const int n = BookmarkAtLine(line);
    if (n >= 0) {
      const int room = Width - 2 - kBookmarkIconSize;
      const int x = Alignment == taLeftJustify ? 2 : Alignment == taRightJustify ? room : room / 2;
      const int y = top + std::max((height - kBookmarkIconSize) / 2, ascent - kBookmarkIconSize);
      DrawBookmarkIcon(surface, n, x, y);
      continue;
    }
    if (!LineNumbers) continue;
    int32_t number = line + 1;
    if (paragraphNumbers) {
      const int par = list.ParagraphOfLine(line);
      if (list.StartLine(par) != line || par >= paragraphs) continue;
      number = par + 1;
    }
    const std::u16string text = NumberText(number);
    const int room = Width - 2 - static_cast<int>(text.size()) * digit;
    const int x = Alignment == taLeftJustify ? 0 : Alignment == taRightJustify ? room : room / 2;
    surface.DrawText(x, top + ascent, Font, FontColor, text);
  }
}

}  // namespace qm
