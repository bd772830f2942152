// Tests of the gutter: numbers level with the editor's lines, the last empty line, bookmarks as navigators, their keys, icons and view following.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "KeyUtil.h"
#include "TestUtil.h"
#include "editor/control/PlusMemoU.h"
#include "editor/gutter/BookmarkIcons.h"
#include "editor/gutter/PlusGutterU.h"

namespace qm {
namespace {

using namespace test;

// A surface that records what is drawn: texts with their baselines, and
// filled pixels outside the background.
class TRecordingSurface : public TSurface {
 public:
  struct TText {
    int X;
    int Y;
    std::string Text;
  };
  int TextWidth(const TFontSpec&, std::u16string_view text) override { return static_cast<int>(text.size()) * 6; }
  int AverageCharWidth(const TFontSpec&) override { return 6; }
  int LineHeight(const TFontSpec&) override { return 16; }
  int Ascent(const TFontSpec&) override { return 12; }
  void FillRect(const TRect& rect, int32_t colour) override { fills.push_back({rect, colour}); }
  void DrawText(int x, int y, const TFontSpec&, int32_t, std::u16string_view text) override {
    texts.push_back({x, y, S(text)});
  }
  void SetClip(const TRect&) override {}

  std::vector<std::string> Texts() const {
    std::vector<std::string> out;
    for (const TText& t : texts) out.push_back(t.Text);
    return out;
  }
  // Single pixels filled: the icons.
  int IconPixels(int top, int bottom) const {
    int n = 0;
    for (const auto& [r, colour] : fills)
      if (r.Right - r.Left == 1 && r.Bottom - r.Top == 1 && r.Top >= top && r.Bottom <= bottom) ++n;
    return n;
  }

  std::vector<TText> texts;
  std::vector<std::pair<TRect, int32_t>> fills;
};

class TFakeGutterHost : public TGutterHost {
 public:
  void Invalidate() override { ++invalidated; }
  void ScrollPixels(int dy) override { scrolls.push_back(dy); }
  int OffsetToEditor() override { return offset; }
  int invalidated = 0;
  std::vector<int> scrolls;
  int offset = 0;
};

class Gutter : public ::testing::Test {
 protected:
  void SetUp() override {
    memo.WordWrap = false;
    memo.LayoutSettings.ClientWidth = 400;
    memo.LayoutSettings.ClientHeight = 160;
    memo.SetHost(&host);
    gutter.Width = 29;
    gutter.Height = 160;
    gutter.SetHost(&gutterHost);
    gutter.SetPlusMemoU(&memo);
  }
  void TearDown() override { gutter.SetPlusMemoU(nullptr); }

  TRecordingSurface Paint() {
    TRecordingSurface surface;
    gutter.Paint(surface, TRect{0, 0, gutter.Width, gutter.Height});
    return surface;
  }

  // The numbers a window shows after the editor painted: the gutter is
  // painted again only when it asked to be.
  std::vector<std::string> OnScreen() {
    memo.Painted();
    if (gutterHost.invalidated != shownAt_) {
      shownAt_ = gutterHost.invalidated;
      shown_ = Paint().Texts();
    }
    return shown_;
  }

  TFakeHost host;
  TPlusMemoU memo;
  TFakeGutterHost gutterHost;
  TPlusGutterU gutter;

 private:
  int shownAt_ = -1;
  std::vector<std::string> shown_;
};

TEST_F(Gutter, NumbersEveryLineLevelWithTheEditor) {
  LoadText(memo, u"a\r\nb\r\nc");
  TRecordingSurface s = Paint();
  EXPECT_EQ(s.Texts(), (std::vector<std::string>{"1", "2", "3"}));
  // Baselines are the editor's: line top + ascent 12; centred in 29 - 2 pixels.
  EXPECT_EQ(s.texts[1].Y, 16 + 12);
  EXPECT_EQ(s.texts[1].X, (29 - 2 - 6) / 2);
  // The two-pixel separator at the right edge.
  ASSERT_GE(s.fills.size(), 3u);
  EXPECT_EQ(s.fills[1].first.Left, 27);
  EXPECT_EQ(s.fills[2].first.Left, 28);

  // Scrolled by a line and a half: the first number drawn is 2, half a line up.
  memo.SetScrollPos(0, 24);
  s = Paint();
  ASSERT_FALSE(s.texts.empty());
  EXPECT_EQ(s.texts[0].Text, "2");
  EXPECT_EQ(s.texts[0].Y, 16 - 24 + 12);
}

TEST_F(Gutter, AnEmptyLastLineIsNumberedUnlessIgnored) {
  LoadText(memo, u"a\r\n");
  EXPECT_EQ(Paint().Texts(), (std::vector<std::string>{"1", "2"}));
  gutter.IgnoreLastLineIfEmpty = true;
  EXPECT_EQ(Paint().Texts(), (std::vector<std::string>{"1"}));
  LoadText(memo, u"a\r\nb");
  EXPECT_EQ(Paint().Texts(), (std::vector<std::string>{"1", "2"}));
}

TEST_F(Gutter, TheNumbersFollowEveryChangeOfTheLines) {
  gutter.IgnoreLastLineIfEmpty = true;
  LoadText(memo, u"scn A\r\nshort x\r\n");
  EXPECT_EQ(OnScreen(), (std::vector<std::string>{"1", "2"}));
  // The empty last line gets its number with its first letter, before any
  // line is added, and loses it with its last.
  memo.SetSelStart(memo.TextLength());
  const std::vector<std::string> three{"1", "2", "3"};
  for (const char16_t c : std::u16string(u"set x to 5")) {
    memo.KeyPress(c);
    EXPECT_EQ(OnScreen(), three) << S(memo.Text());
  }
  for (int n = 0; n < 10; ++n) {
    EXPECT_EQ(OnScreen(), three) << S(memo.Text());
    memo.KeyDown(TpmKey::kBackspace, {});
  }
  EXPECT_EQ(OnScreen(), (std::vector<std::string>{"1", "2"}));
}

TEST_F(Gutter, ParagraphNumbersOnTheFirstLineOfEachWrappedParagraph) {
  memo.WordWrap = true;
  memo.LayoutSettings.ClientWidth = 8 + 8 + 5 * 8;
  memo.LayoutChanged();
  LoadText(memo, u"aaa bbb ccc\r\nd");
  memo.LayOutAllLines();
  ASSERT_EQ(memo.LineCount(), 4);
  EXPECT_EQ(Paint().Texts(), (std::vector<std::string>{"1", "2", "3", "4"}));
  gutter.ParagraphNumbers = true;
  TRecordingSurface s = Paint();
  EXPECT_EQ(s.Texts(), (std::vector<std::string>{"1", "2"}));
  EXPECT_EQ(s.texts[1].Y, 3 * 16 + 12);
}

TEST_F(Gutter, ALineHoldingAMarkHasABarInItsHeaviestMarksColour) {
  LoadText(memo, u"a\r\nbb cc\r\nc");
  int repaints = gutterHost.invalidated;
  memo.SetMarks({TTextMark{3, 2, 0x00A5FF, 1, u"warning"}, TTextMark{6, 2, 0x0000FF, 2, u"error"}});
  EXPECT_GT(gutterHost.invalidated, repaints) << "new marks repaint the gutter";
  std::vector<std::pair<TRect, int32_t>> bars;
  for (const auto& fill : Paint().fills)
    if (fill.first.Left == 0 && fill.first.Right == 3) bars.push_back(fill);
  ASSERT_EQ(bars.size(), 1u) << "the second line only";
  EXPECT_EQ(bars[0].first.Top, 16);
  EXPECT_EQ(bars[0].second, 0x0000FF) << "the error's colour over the warning's";
}

TEST_F(Gutter, ABookmarkReplacesItsLineNumberWithItsIcon) {
  LoadText(memo, u"a\r\nb\r\nc");
  EXPECT_TRUE(gutter.ToggleBookmark(1, 4));
  EXPECT_EQ(gutter.BookmarkAtLine(1), 4);
  TRecordingSurface s = Paint();
  EXPECT_EQ(s.Texts(), (std::vector<std::string>{"1", "3"}));
  EXPECT_GT(s.IconPixels(16, 32), 50);
  EXPECT_EQ(s.IconPixels(0, 16), 0);
  EXPECT_EQ(gutter.BookmarkLine(4), 1);
  // Another bookmark cannot take the line; the same one toggles off.
  EXPECT_FALSE(gutter.ToggleBookmark(1, 5));
  EXPECT_TRUE(gutter.ToggleBookmark(1, 4));
  EXPECT_EQ(gutter.Bookmark(4), nullptr);
  EXPECT_EQ(gutter.BookmarkAtLine(1), -1);
}

TEST_F(Gutter, CtrlShiftDigitMovesItsBookmarkAndCtrlDigitJumps) {
  LoadText(memo, u"zero\r\none\r\ntwo\r\nthree");
  memo.SetSelStart(memo.ParagraphStart(1) + 2);
  memo.KeyDown(TpmKey::k3, {.Shift = true, .Ctrl = true});
  EXPECT_EQ(gutter.BookmarkAtLine(1), 3);
  memo.SetSelStart(memo.ParagraphStart(3));
  memo.KeyDown(TpmKey::k3, {.Shift = true, .Ctrl = true});
  // Moved, not duplicated.
  EXPECT_EQ(gutter.BookmarkAtLine(1), -1);
  EXPECT_EQ(gutter.BookmarkAtLine(3), 3);
  memo.SetSelStart(0);
  memo.KeyDown(TpmKey::k3, {.Ctrl = true});
  EXPECT_EQ(memo.SelStart(), memo.ParagraphStart(3));
  // An unset bookmark and Alt do nothing; nor do the keys with Bookmarks off.
  memo.SetSelStart(0);
  memo.KeyDown(TpmKey::k7, {.Ctrl = true});
  memo.KeyDown(TpmKey::k3, {.Ctrl = true, .Alt = true});
  EXPECT_EQ(memo.SelStart(), 0);
  gutter.Bookmarks = false;
  memo.KeyDown(TpmKey::k3, {.Ctrl = true});
  EXPECT_EQ(memo.SelStart(), 0);
}

TEST_F(Gutter, ABookmarkFollowsTextInsertedAboveIt) {
  LoadText(memo, u"a\r\nb\r\nc");
  gutter.SetBookmark(memo.ParagraphStart(2), 0);
  EXPECT_TRUE(gutter.Bookmark(0)->ResetOnChange);
  memo.SetSelStart(0);
  memo.SetSelText(u"new\r\nlines\r\n");
  EXPECT_EQ(gutter.BookmarkAtLine(4), 0);
  EXPECT_EQ(memo.GetTextRange(gutter.Bookmark(0)->Pos(), gutter.Bookmark(0)->Pos() + 1), u"c");
  // Inside a paragraph the flag is off.
  gutter.SetBookmark(memo.ParagraphStart(2) + 1, 0);
  EXPECT_FALSE(gutter.Bookmark(0)->ResetOnChange);
}

TEST_F(Gutter, OnlyAScrolledViewMovesThePixels) {
  std::u16string text;
  for (int i = 0; i < 40; ++i) text += u"line\r\n";
  LoadText(memo, text);
  Paint();
  memo.SetScrollPos(0, 32);
  memo.Painted();
  EXPECT_EQ(gutterHost.scrolls, (std::vector<int>{-32}));
  const int invalidated = gutterHost.invalidated;
  // A new line changes the line count: everything is repainted.
  memo.SetSelStart(0);
  memo.SetSelText(u"\r\n");
  memo.Painted();
  EXPECT_GT(gutterHost.invalidated, invalidated);
  EXPECT_EQ(gutterHost.scrolls.size(), 1u);
}

TEST_F(Gutter, TheEditorsDestructionDropsTheLink) {
  auto other = std::make_unique<TPlusMemoU>();
  LoadText(*other, u"x\r\ny");
  gutter.SetPlusMemoU(other.get());
  gutter.SetBookmark(3, 1);
  ASSERT_NE(gutter.Bookmark(1), nullptr);
  other.reset();
  EXPECT_EQ(gutter.PlusMemoU(), nullptr);
  EXPECT_EQ(gutter.Bookmark(1), nullptr);
  EXPECT_EQ(gutter.BookmarkAtLine(0), -1);
  // Painting without an editor fills the background only.
  EXPECT_TRUE(Paint().texts.empty());
}

TEST_F(Gutter, ChangingTheEditorFreesTheBookmarks) {
  LoadText(memo, u"a\r\nb");
  gutter.SetBookmark(0, 2);
  const size_t navigators = memo.Navigators().size();
  gutter.SetPlusMemoU(nullptr);
  EXPECT_EQ(memo.Navigators().size(), navigators - 1);
  EXPECT_EQ(gutter.Bookmark(2), nullptr);
}

TEST(BookmarkIcons, TenDistinctTenByTenPictures) {
  std::set<std::string> seen;
  for (int n = 0; n < 10; ++n) {
    const auto rows = BookmarkIconRows(n);
    std::string all;
    for (const std::string& row : rows) {
      ASSERT_EQ(row.size(), 10u);
      all += row;
    }
    // Transparent corners, a digit inside.
    EXPECT_EQ(all[0], ' ');
    EXPECT_NE(all.find('d'), std::string::npos);
    seen.insert(all);
  }
  EXPECT_EQ(seen.size(), 10u);
}

}  // namespace
}  // namespace qm
