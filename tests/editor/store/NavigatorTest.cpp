// Navigators: position rule, words, following edits, display lines, style runs and column counting.
#include <gtest/gtest.h>

#include "TestUtil.h"
#include "editor/store/StoreCheck.h"
#include "platform/Exceptions.h"

namespace qm {
namespace {

using test::LoadText;

TEST(Navigator, CreationNeedsAnEditor) {
  TComponent notAMemo;
  try {
    TPlusNavigatorU nav(&notAMemo);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Internal error: component is not a TPlusMemoU");
  }
  TPlusMemoU memo;
  const size_t own = memo.Navigators().size();  // the control's selection and caret
  bool freed = false;
  {
    TPlusNavigatorU nav(&memo);
    EXPECT_EQ(memo.Navigators().size(), own + 1);
    nav.OnFree = [&](TPlusNavigatorU*) { freed = true; };
  }
  EXPECT_TRUE(freed);
  EXPECT_EQ(memo.Navigators().size(), own);
}

TEST(Navigator, PositionRule) {
  TPlusMemoU memo;
  TPlusNavigatorU nav(&memo);
  for (int p : {0, 3}) {
    nav.SetPos(p);
    EXPECT_EQ(nav.ParNumber(), 0);
    EXPECT_EQ(nav.CharAt(), u'\r');
  }
  LoadText(memo, u"ab\r\ncd");
  struct Case {
    int32_t pos;
    int par;
    int32_t offset;
    char16_t ch;
  };
  for (const Case& c : {Case{0, 0, 0, u'a'}, Case{2, 0, 2, u'\r'}, Case{3, 0, 3, u'\n'}, Case{4, 1, 0, u'c'},
                        Case{6, 1, 2, u'\r'}, Case{1, 0, 1, u'b'}}) {
    nav.SetPos(c.pos);
    EXPECT_EQ(nav.ParNumber(), c.par) << c.pos;
    EXPECT_EQ(nav.ParOffset(), c.offset) << c.pos;
    EXPECT_EQ(nav.CharAt(), c.ch) << c.pos;
  }
  nav.SetPos(1);
  EXPECT_EQ(nav.GetText(5), u"b\r\ncd");
  memo.LineBreak = pbLF;
  nav.SetPos(3);
  EXPECT_EQ(nav.GetText(100), u"\ncd") << "copied text always uses CR LF";
}

TEST(Navigator, ParagraphsOfALargeTextAreFound) {
  TPlusMemoU memo;
  std::u16string text;
  for (int i = 0; i < 5000; ++i) text += std::u16string(static_cast<size_t>(i % 97), u'x') + u"\r\n";
  LoadText(memo, text);
  TPlusNavigatorU nav(&memo);
  const TParagraphsList& list = memo.Paragraphs();
  for (int i = 0; i < list.Count; i += 7) {
    for (int32_t d : {0, list.Length(i), list.Length(i) + 1}) {
      nav.SetPos(list.StartOffset(i) + d);
      ASSERT_EQ(nav.ParNumber(), i);
      ASSERT_EQ(nav.ParOffset(), d);
    }
  }
}

TEST(Navigator, Words) {
  TPlusMemoU memo;
  LoadText(memo, u"if x == 5\r\n  next  word");
  TPlusNavigatorU nav(&memo);
  const TCharSet seps = DefaultSeparators();
  for (auto [pos, word] : {std::pair{0, u"if"}, {2, u"if"}, {1, u"if"}, {5, u""}, {3, u"x"}, {9, u"5"}}) {
    nav.SetPos(pos);
    EXPECT_EQ(nav.CurrentWord(seps), word) << pos;
  }
  nav.SetPos(9);  // end of paragraph 0
  nav.NextWord(seps);
  EXPECT_EQ(nav.Pos(), 11) << "to the next paragraph start, not past its first word";
  nav.NextWord(seps);
  EXPECT_EQ(nav.Pos(), 13);
  nav.NextWord(seps);
  EXPECT_EQ(nav.Pos(), 19);
  nav.NextWord(seps);
  EXPECT_EQ(nav.Pos(), 23) << "never beyond the text end";
  nav.PrevWord(seps);
  EXPECT_EQ(nav.Pos(), 19);
  nav.PrevWord(seps);
  EXPECT_EQ(nav.Pos(), 13);
  nav.PrevWord(seps);
  EXPECT_EQ(nav.Pos(), 8);
  nav.SetPos(11);
  nav.PrevWord(seps);
  EXPECT_EQ(nav.Pos(), 8);
  nav.SetPos(2);
  nav.PrevWord(seps);
  EXPECT_EQ(nav.Pos(), 0);
  nav.SetPos(15);
  nav.WordStart(seps);
  EXPECT_EQ(nav.Pos(), 13);
  nav.WordEnd(seps);
  EXPECT_EQ(nav.Pos(), 17);
  nav.SetPos(18);  // between the two spaces
  nav.WordStart(seps);
  EXPECT_EQ(nav.Pos(), 13);
}

TEST(Navigator, FollowsEdits) {
  TPlusMemoU memo;
  LoadText(memo, u"0123456789abcdef\r\nline two\r\nthree");
  TPlusNavigatorU at10(&memo), inside(&memo), atEnd(&memo), atInsert(&memo), before(&memo), later(&memo);
  at10.SetPos(10);
  later.SetPos(22);  // the space of "line two"
  ASSERT_EQ(later.ParNumber(), 1);
  memo.ReplaceRange(2, 2, u"xyz");
  EXPECT_EQ(at10.Pos(), 13);
  EXPECT_EQ(at10.CharAt(), u'a');
  EXPECT_EQ(later.Pos(), 25);
  EXPECT_EQ(later.ParNumber(), 1);
  EXPECT_EQ(later.CharAt(), u' ');

  inside.SetPos(5);
  atEnd.SetPos(8);
  atInsert.SetPos(2);
  before.SetPos(1);
  memo.ReplaceRange(2, 8, u"Q\r\nR");
  EXPECT_EQ(inside.Pos(), 2);
  EXPECT_EQ(atEnd.Pos(), 2);
  EXPECT_EQ(atInsert.Pos(), 2) << "a navigator at the replaced range start stays before the new text";
  EXPECT_EQ(before.Pos(), 1);
  EXPECT_EQ(at10.CharAt(), u'a');
  EXPECT_EQ(later.CharAt(), u' ');
  EXPECT_EQ(later.ParNumber(), 2);

  // A navigator in the tail of a joined paragraph.
  TPlusNavigatorU tail(&memo);
  tail.SetPos(memo.ParagraphStart(2) + 2);
  const char16_t ch = tail.CharAt();
  memo.ReplaceRange(memo.ParagraphStart(1) + 1, memo.ParagraphStart(2) + 1, u"");
  EXPECT_EQ(tail.CharAt(), ch);
  EXPECT_EQ(tail.ParNumber(), 1);
  VerifyStore(memo.Paragraphs(), "memo");

  TPlusNavigatorU reset(&memo);
  reset.ResetOnChange = true;
  reset.SetPos(3);
  memo.ReplaceRange(1, 5, u"");
  EXPECT_EQ(reset.Pos(), 1);
  EXPECT_EQ(reset.ParNumber(), 0);
}

TEST(Navigator, ClampingMoves) {
  TPlusMemoU memo;
  memo.WordWrap = false;
  LoadText(memo, u"abc\r\ndefgh\r\nij");
  TPlusNavigatorU nav(&memo);
  nav.SetPos(5);
  nav.SetParOffset(99);
  EXPECT_EQ(nav.Pos(), 10);
  nav.SetLineOffset(-4);
  EXPECT_EQ(nav.Pos(), 5);
  nav.SetLineOffset(99);
  EXPECT_EQ(nav.LineOffset(), 5);
  nav.SetLineNumber(99);
  EXPECT_EQ(nav.ParNumber(), 2);
  EXPECT_EQ(nav.ParOffset(), 0);
  nav.SetParNumber(1);
  EXPECT_EQ(nav.Pos(), 5);
  EXPECT_EQ(nav.LineText(), u"defgh");
}

TEST(Navigator, WrappedDisplayLines) {
  TPlusMemoU memo;
  LoadText(memo, u"first\r\nhello wide world\r\nlast");
  TParagraphsList& list = memo.Paragraphs();
  list.SetDisplayLines(1, {TLineInfo{0, 6, 40}, TLineInfo{6, 11, 30}, TLineInfo{11, 16, 30}});
  EXPECT_EQ(list.LineCount, 5);
  EXPECT_EQ(list.StartLine(2), 4);
  VerifyStore(list, "memo");

  TPlusNavigatorU nav(&memo);
  nav.SetLineNumber(3);
  EXPECT_EQ(nav.ParNumber(), 1);
  EXPECT_EQ(nav.ParOffset(), 11);
  EXPECT_EQ(nav.LineText(), u"world");
  nav.SetLineOffset(99);
  EXPECT_EQ(nav.LineOffset(), 5);
  nav.SetPos(list.StartOffset(1) + 8);
  EXPECT_EQ(nav.LineNumber(), 2);
  EXPECT_EQ(nav.LineOffset(), 2);
  EXPECT_EQ(nav.LinesAccess().Count(), 3);
  EXPECT_THROW(nav.LinesAccess()[3], ERangeError);
  nav.SetPos(list.StartOffset(1) + 14);  // forward inside the paragraph advances the line
  EXPECT_EQ(nav.LineInPar(), 2);

  // An edit collapses the paragraph to one line until it is laid out again.
  memo.ReplaceRange(list.StartOffset(1), list.StartOffset(1) + 1, u"H");
  EXPECT_EQ(list.LineCount, 3);
  VerifyStore(list, "memo");
}

TEST(Navigator, StyleRuns) {
  TPlusMemoU memo;
  LoadText(memo, u"abcdef\r\nghij\r\nklm");
  TPlusNavigatorU nav(&memo);
  TDynInfo comment;
  comment.Kind = dkKeyStyle;
  comment.ContextNum = 1;
  nav.SetPos(2);
  nav.InsertDynInfo(comment);
  EXPECT_EQ(nav.DynNumber(), 1);
  TDynInfo plain;
  plain.Kind = dkHighlight;
  plain.ContextNum = 0;
  nav.SetPos(memo.ParagraphStart(1) + 3);
  nav.InsertDynInfo(plain);

  struct Case {
    int32_t pos;
    int32_t context;
  };
  for (const Case& c : {Case{0, 0}, Case{2, 0}, Case{3, 1}, Case{6, 1}, Case{11, 0}}) {
    nav.SetPos(c.pos);
    EXPECT_EQ(nav.Context(), c.context) << c.pos;
  }

  nav.SetPos(0);
  ASSERT_TRUE(nav.NextDynInfo(memo.TextLength()));
  EXPECT_EQ(nav.Pos(), 2);
  ASSERT_TRUE(nav.NextDynInfo(memo.TextLength()));
  EXPECT_EQ(nav.Pos(), 11);
  EXPECT_FALSE(nav.NextDynInfo(memo.TextLength()));
  EXPECT_EQ(nav.Pos(), 11);
  EXPECT_TRUE(nav.PrevDynInfo(0));
  EXPECT_EQ(nav.Pos(), 2);
  EXPECT_FALSE(nav.PrevDynInfo(1));
  nav.SetPos(0);
  EXPECT_FALSE(nav.NextDynInfo(1)) << "the limit bounds the search";

  nav.SetPos(3);
  try {
    nav.RemoveDynInfo();
    FAIL();
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Internal PlusMemoU error");
  }
  nav.SetPos(2);
  nav.RemoveDynInfo();
  EXPECT_EQ(memo.Paragraphs().RunCount(0), 0);
  nav.SetPos(11);
  nav.SkipDynAtPos();
  EXPECT_EQ(nav.DynNumber(), 1);
}

TEST(Navigator, StartStylesAndEqualRunsShareOneAttributeBlock) {
  TPlusMemoU memo;
  LoadText(memo, u"a\r\nb\r\nc");
  TParagraphsList& list = memo.Paragraphs();
  TDynInfo block;
  block.Kind = dkKeyStyle;
  block.Level = 0;
  block.KeyStack[0] = -32766;
  block.ContextNum = 99;
  list.SetStartStyle(1, block);
  list.SetStartStyle(2, block);
  EXPECT_EQ(list.StartStyleId(1), list.StartStyleId(2));
  EXPECT_NE(list.StartStyleId(1), 0u);
  EXPECT_EQ(list.StartStyleId(0), 0u);
  TPlusNavigatorU nav(&memo);
  nav.SetPos(memo.ParagraphStart(2));
  EXPECT_EQ(nav.Context(), 99);
  EXPECT_EQ(nav.Style().KeyStack[0], -32766);
  const size_t styles = list.Styles.Size();
  nav.SetPos(1);
  nav.InsertDynInfo(block);
  EXPECT_EQ(list.Styles.Size(), styles) << "an equal block is shared, not copied";
  block.ContextNum = 98;
  list.SetStartStyle(1, block);
  EXPECT_NE(list.StartStyleId(1), list.StartStyleId(2));
}

TEST(Navigator, StaticStyleFollowsFormatCodes) {
  TPlusMemoU memo;
  memo.SetStaticFormat(true);
  LoadText(memo, u"a\2b\1c\r\nd\2e");
  TPlusNavigatorU nav(&memo);
  for (auto [pos, style] :
       {std::pair{1, 0}, {2, fsBold}, {5, fsBold | fsItalic}, {8, fsBold | fsItalic}, {10, fsItalic}}) {
    nav.SetPos(pos);
    EXPECT_EQ(nav.StaticStyle(), style) << pos;
  }
  memo.SetStaticFormat(false);
  EXPECT_EQ(nav.StaticStyle(), 0);
}

TEST(ColumnCounting, TabsAndFormatCodes) {
  struct Case {
    std::u16string text;
    int tabs;
    bool codes;
    int32_t offset, column;
  };
  const Case cases[] = {
      {u"ab\tc", 8, false, 3, 8}, {u"ab\tc", 8, false, 4, 9}, {u"\t\t", 2, false, 2, 4},
      {u"a\tb", 0, false, 3, 3},  {u"a\2b", 8, true, 3, 2},   {u"a\2b", 8, false, 3, 3},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(OffsetToColumn(c.text, c.offset, c.tabs, c.codes), c.column) << test::S(c.text);
    EXPECT_EQ(ColumnToOffset(c.text, c.column, c.tabs, c.codes), c.offset) << test::S(c.text);
  }
  // A column inside a tab stops before the tab.
  EXPECT_EQ(ColumnToOffset(u"ab\tc", 5, 8, false), 2);
  EXPECT_EQ(ColumnToOffset(u"ab", 10, 8, false), 2);
}

}  // namespace
}  // namespace qm
