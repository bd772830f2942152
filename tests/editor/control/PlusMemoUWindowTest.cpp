// Tests of the control with a window host: layout ownership, update modes, scrolling and its events, the mouse and context runs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HighlightUtil.h"
#include "KeyUtil.h"
#include "TestUtil.h"
#include "editor/control/PlusMemoU.h"
#include "editor/control/StringsViews.h"

namespace qm {
namespace {

using test::TFakeHost;

std::u16string NumberedLines(int n) {
  std::u16string text;
  for (int i = 0; i < n; ++i) text += u"line " + test::U(std::to_string(i)) + (i + 1 < n ? u"\r\n" : u"");
  return text;
}

bool AllLaidOut(const TParagraphsList& list) {
  for (int p = 0; p < list.Count; ++p)
    if (!(list.Flags(p) & pfLaidOut)) return false;
  return true;
}

class Window : public ::testing::Test {
 protected:
  void Attach(int width = 400, int height = 160) {
    memo.LayoutSettings.ClientWidth = width;
    memo.LayoutSettings.ClientHeight = height;
    memo.SetHost(&host);
  }

  TFakeHost host;
  TPlusMemoU memo;
};

TEST_F(Window, WithoutAHostEditsChangeOnlyTheText) {
  test::LoadText(memo, u"one\r\ntwo");
  memo.SetSelStart(3);
  memo.SetSelText(u"!");
  EXPECT_EQ(memo.Text(), u"one!\r\ntwo");
  EXPECT_EQ(memo.Layout(), nullptr);
  EXPECT_EQ(memo.Paragraphs().Flags(0) & pfLaidOut, 0);
  // Scrolling needs a window: it is ignored.
  memo.SetScrollPos(10, 10);
  EXPECT_EQ(memo.VScroll(), 0);
}

TEST_F(Window, AttachingAHostLaysOutByTheUpdateMode) {
  test::LoadText(memo, NumberedLines(50));
  memo.SetUpdateMode(umOnNeed);
  Attach();
  ASSERT_NE(memo.Layout(), nullptr);
  EXPECT_FALSE(AllLaidOut(memo.Paragraphs()));
  // Asking for a line lays out up to it, no further than needed.
  EXPECT_EQ(memo.LineText(20), u"line 20");
  EXPECT_TRUE(memo.Paragraphs().Flags(20) & pfLaidOut);
  EXPECT_FALSE(memo.Paragraphs().Flags(49) & pfLaidOut);
  EXPECT_EQ(memo.LineText(50), u"");

  // Background without a dispatcher runs every step at once.
  memo.SetUpdateMode(umBackground);
  EXPECT_TRUE(AllLaidOut(memo.Paragraphs()));
  EXPECT_GT(host.barsChanged, 0);

  memo.SetHost(nullptr);
  EXPECT_EQ(memo.Layout(), nullptr);
  EXPECT_EQ(memo.Formatter(), nullptr);
}

TEST_F(Window, AnEditLaysOutItsParagraphAndRepaintsBeforeOnChange) {
  memo.SetUpdateMode(umOnNeed);
  Attach();
  test::LoadText(memo, u"short\r\nsecond");
  int widthSeenByOnChange = -1;
  memo.OnChange = [&](TComponent*) { widthSeenByOnChange = memo.Paragraphs().Width(0); };
  memo.SetSelStart(5);
  host.rects.clear();
  memo.SetSelText(u" and longer");
  EXPECT_TRUE(memo.Paragraphs().Flags(0) & pfLaidOut);
  EXPECT_EQ(widthSeenByOnChange, 16 * 8);
  EXPECT_FALSE(host.rects.empty());
  EXPECT_EQ(memo.Layout()->WidestLine(), 16 * 8);
}

// The rectangles' top and bottom, in lines of 16 pixels.
std::vector<std::pair<int, int>> LinesOf(const std::vector<TRect>& rects) {
  std::vector<std::pair<int, int>> lines;
  for (const TRect& r : rects) lines.emplace_back(r.Top / 16, r.Bottom == INT32_MAX ? -1 : (r.Bottom - 1) / 16);
  return lines;
}

TEST_F(Window, OnlyWhatChangedIsRepainted) {
  auto chain = test::MainChain();
  test::ConfigureScriptEditor(memo, *chain);
  memo.SetUpdateMode(umOnNeed);
  Attach(400, 10 * 16);
  test::LoadText(memo, u"begin GameMode\r\n  set x to 1\r\n  set y to 2\r\nend\r\nlast");
  memo.Painter()->CaretRect();  // lays the caret's line out, as painting would
  memo.LayOutAllLines();
  using Lines = std::vector<std::pair<int, int>>;

  // A character typed on line 1: that line (the caret moves within it).
  memo.SetSelStart(memo.ParagraphStart(1) + 5);
  host.rects.clear();
  memo.SetSelText(u"q");
  EXPECT_EQ(LinesOf(host.rects), (Lines{{1, 1}, {1, 1}, {1, 1}}));

  // A selection over lines 1 and 2, then collapsed on line 3.
  host.rects.clear();
  memo.SetSelLength(memo.ParagraphStart(2) + 3 - memo.SelStart());
  EXPECT_EQ(LinesOf(host.rects), (Lines{{1, 1}, {1, 2}}));
  host.rects.clear();
  memo.SetSelStart(memo.ParagraphStart(3));
  EXPECT_EQ(LinesOf(host.rects), (Lines{{1, 2}, {3, 3}}));

  // A new break moves every line below it: from the change to the bottom.
  host.rects.clear();
  memo.SetSelText(u"\r\n");
  ASSERT_FALSE(host.rects.empty());
  EXPECT_EQ(host.rects.back().Top, 3 * 16);
  EXPECT_EQ(host.rects.back().Bottom, 10 * 16);

  // An opened comment runs to its paragraph's end: only its own line.
  host.rects.clear();
  memo.SetSelStart(memo.ParagraphStart(1));
  memo.SetSelText(u";");
  EXPECT_EQ(LinesOf(host.rects).back(), (std::pair<int, int>{1, 1}));
}

TEST_F(Window, WrappedLinesFollowTheClientWidth) {
  memo.WordWrap = true;
  memo.LayoutSettings.LeftMargin = 0;
  memo.LayoutSettings.RightMargin = 0;
  Attach(10 * 8, 160);
  test::LoadText(memo, u"aaaa bbbb cccc");
  memo.LayOutAllLines();
  EXPECT_EQ(memo.LineCount(), 2);
  EXPECT_EQ(memo.LineText(1), u"cccc");
  // Wider: one line. Only a width change relays out.
  memo.SetClientSize(20 * 8, 160);
  memo.LayOutAllLines();
  EXPECT_EQ(memo.LineCount(), 1);
  EXPECT_EQ(memo.Lines().Count(), 1);
  // Going to a display line lays out up to it first.
  memo.SetClientSize(5 * 8, 160);
  memo.SetCaretLine(2);
  EXPECT_EQ(memo.SelStart(), 10);
}

TEST_F(Window, ScrollInViewMovesByLinesAndFiresTheScrollEvents) {
  memo.WordWrap = false;
  Attach(400, 10 * 16);
  test::LoadText(memo, NumberedLines(100));
  int vScrolls = 0;
  int hScrolls = 0;
  memo.OnVScroll = [&](TComponent*) { ++vScrolls; };
  memo.OnHScroll = [&](TComponent*) { ++hScrolls; };

  memo.GoToParagraph(50);
  memo.ScrollInView();
  // The caret line becomes the last visible one (plus nothing: not the last line).
  EXPECT_EQ(memo.VScroll(), 51 * 16 - 10 * 16);
  EXPECT_EQ(vScrolls, 1);
  memo.GoToParagraph(99);
  memo.ScrollInView();
  // Two extra pixels below the last line of the text.
  EXPECT_EQ(memo.VScroll(), 100 * 16 - 10 * 16 + 2);
  memo.GoToParagraph(3);
  memo.ScrollInView();
  EXPECT_EQ(memo.VScroll(), 3 * 16);
  EXPECT_EQ(vScrolls, 3);
  EXPECT_EQ(hScrolls, 0);

  // Whole lines with pmoNoFineScroll: the caret line is the last fully visible one.
  memo.Options.Include(pmoNoFineScroll);
  memo.SetScrollPos(0, 0);
  memo.GoToParagraph(50);
  memo.ScrollInView();
  EXPECT_EQ(memo.VScroll() % 16, 0);
  EXPECT_EQ(memo.VScroll(), (50 - 10 + 1) * 16);

  // Horizontally in steps of five character widths.
  memo.SetText(std::u16string(200, u'x'));
  memo.ScrollInView();
  EXPECT_GT(memo.HScroll(), 0);
  EXPECT_EQ(memo.HScroll() % (5 * 8), 0);
  EXPECT_EQ(hScrolls, 1);
  // A new load scrolls back to the origin.
  test::LoadText(memo, u"x");
  EXPECT_EQ(memo.HScroll(), 0);
  EXPECT_EQ(memo.VScroll(), 0);
}

TEST_F(Window, MouseDownPlacesTheCaretAndShiftExtends) {
  memo.WordWrap = false;
  memo.LayoutSettings.LeftMargin = 8;
  Attach();
  test::LoadText(memo, u"abcdef\r\nghijkl");
  std::vector<int> downs;
  memo.OnAfterMouseDown = [&](TComponent*, TMouseButton button, TShiftState, int x, int) {
    downs.push_back(x);
    EXPECT_EQ(button, mbLeft);
  };
  // Character cells are 8 wide after the 8-pixel margin: x 28 is the left half of "c".
  memo.MouseDown(mbLeft, {}, 8 + 2 * 8 + 3, 16 + 5);
  EXPECT_EQ(memo.SelStart(), 8 + 2);
  memo.MouseUp(mbLeft, {}, 0, 0);
  // The right half of "b" gives the offset after it.
  memo.MouseDown(mbLeft, TShiftState{true, false, false}, 8 + 8 + 5, 5);
  EXPECT_EQ(memo.SelStart(), 2);
  EXPECT_EQ(memo.SelLength(), 8);
  EXPECT_EQ(memo.SelText(), u"cdef\r\ngh");
  // Dragging keeps the anchor of the first click.
  memo.MouseMove({}, 8 + 6 * 8, 16 + 5);
  EXPECT_EQ(memo.SelText(), u"ijkl");
  memo.MouseUp(mbLeft, {}, 0, 0);
  EXPECT_EQ(downs.size(), 2u);
}

TEST_F(Window, ReleaseOverAContextRunFiresOnContextWithTheRun) {
  auto chain = test::MainChain();
  test::ConfigureScriptEditor(memo, *chain);
  memo.LayoutSettings.LeftMargin = 0;
  Attach();
  test::LoadText(memo, u"abc xyz ; a note");
  std::vector<std::vector<int32_t>> contexts;
  memo.OnContext = [&](TComponent*, int32_t context, int32_t start, int32_t stop) {
    contexts.push_back({context, start, stop});
  };
  int listenerClicks = 0;
  struct TListener : TPlusMemoListener {
    int& clicks;
    explicit TListener(int& c) : clicks(c) {}
    void MemoNotify(TPlusMemoU&, uint32_t flags) override {
      if (flags & pnContextClickLeft) ++clicks;
    }
  } listener(listenerClicks);
  memo.AddListener(&listener);

  // A click inside the comment: the comment's run, to the text end.
  memo.MouseDown(mbLeft, {}, 13 * 8 + 1, 5);
  memo.MouseUp(mbLeft, {}, 13 * 8 + 1, 5);
  ASSERT_EQ(contexts.size(), 1u);
  EXPECT_EQ(contexts[0], (std::vector<int32_t>{1, 8, memo.TextLength()}));
  EXPECT_EQ(listenerClicks, 1);

  // A drag that selected text is no click.
  memo.MouseDown(mbLeft, {}, 10 * 8 + 1, 5);
  memo.MouseMove({}, 14 * 8 + 1, 5);
  memo.MouseUp(mbLeft, {}, 14 * 8 + 1, 5);
  EXPECT_EQ(contexts.size(), 1u);

  // Plain text has no context; the right button asks where it is released.
  memo.MouseUp(mbRight, {}, 1, 5);
  EXPECT_EQ(contexts.size(), 1u);
  memo.MouseUp(mbRight, {}, 14 * 8 + 1, 5);
  ASSERT_EQ(contexts.size(), 2u);
  EXPECT_EQ(contexts[1], contexts[0]);
  memo.RemoveListener(&listener);
}

TEST_F(Window, TheStyleAtTheCaretFiresOnStyleChange) {
  memo.SetStaticFormat(true);
  Attach();
  // Code 2 turns bold on, and off again.
  test::LoadText(memo,
                 u"a\x02"
                 u"bold\x02"
                 u"c");
  int changes = 0;
  memo.OnStyleChange = [&](TComponent*) { ++changes; };
  memo.SetSelStart(1);
  EXPECT_EQ(changes, 0);
  memo.SetSelStart(3);
  EXPECT_EQ(changes, 1);
  memo.SetSelStart(4);
  EXPECT_EQ(changes, 1);
  memo.SetSelStart(7);
  EXPECT_EQ(changes, 2);
}

TEST(ControlDefaults, AreThePublishedOnes) {
  TPlusMemoU memo;
  EXPECT_EQ(memo.Options,
            (TPlusMemoOptions{pmoWrapCaret, pmoInsertKeyActive, pmoWideOverwriteCaret, pmoAutoScrollBars}));
  EXPECT_FALSE(memo.ReadOnly);
  EXPECT_FALSE(memo.DisplayOnly());
  EXPECT_FALSE(memo.Overwrite());
  EXPECT_TRUE(memo.WantTabs);
  EXPECT_TRUE(memo.WordWrap);
  EXPECT_EQ(memo.LayoutSettings.ColumnWrap, 0);
  EXPECT_EQ(memo.TabStops, 8);
  EXPECT_EQ(memo.LayoutSettings.LeftMargin, 8);
  EXPECT_EQ(memo.LayoutSettings.RightMargin, 8);
  EXPECT_EQ(memo.LayoutSettings.Alignment, taLeftJustify);
  EXPECT_FALSE(memo.LayoutSettings.Justified);
  EXPECT_EQ(memo.LineBreak, pbCRLF);
  EXPECT_EQ(memo.NullReplacement, 0);
  EXPECT_EQ(memo.UndoMaxLevel(), 1024);
  EXPECT_EQ(memo.UndoMaxSpace(), 65536);
  EXPECT_TRUE(memo.HideSelection());
  EXPECT_EQ(memo.ShowNonPrintChars, 0);
  EXPECT_TRUE(memo.EnableHotKeys);
  EXPECT_TRUE(memo.PassOverCodes);
  EXPECT_FALSE(memo.StaticFormat());
  EXPECT_EQ(memo.PaintSettings.CaretWidth, 1);
  EXPECT_EQ(memo.MouseWheelFactor, -1);
  EXPECT_EQ(memo.ProgressInterval, 300u);
  EXPECT_EQ(memo.UpdateMode(), umBackground);
  EXPECT_EQ(memo.Highlighter(), nullptr);
  EXPECT_TRUE(memo.ApplyKeyWords);
  EXPECT_TRUE(memo.ApplyStartStopKeys);
  EXPECT_EQ(memo.UpperCaseType(), pmuAscii);
  EXPECT_EQ(memo.PaintSettings.HighlightColor, 255);
  EXPECT_EQ(memo.PaintSettings.SelBackColor, SystemColor(13));
  EXPECT_EQ(memo.PaintSettings.SelTextColor, SystemColor(14));
  EXPECT_TRUE(memo.PaintSettings.ShowEndParSelected);
}

}  // namespace
}  // namespace qm
