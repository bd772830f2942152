// Replace in the paragraph store: splitting and joining, offsets, style runs, buffer slack, "Text too long".
#include <gtest/gtest.h>

#include "TestUtil.h"
#include "editor/store/StoreCheck.h"
#include "platform/Exceptions.h"

namespace qm {
namespace {

using test::LoadText;

TDynInfo RunAt(int32_t offset, int32_t context) {
  TDynInfo run;
  run.Offset = offset;
  run.Kind = dkHighlight;
  run.ContextNum = context;
  return run;
}

std::vector<std::pair<int32_t, int32_t>> RunsOf(const TParagraphsList& list, int par) {
  std::vector<std::pair<int32_t, int32_t>> out;
  for (int i = 0; i < list.RunCount(par); ++i) out.emplace_back(list.Run(par, i).Offset, list.Run(par, i).ContextNum);
  return out;
}

TEST(Replace, TextTable) {
  struct Case {
    std::u16string start;
    int32_t from, to;
    std::u16string insert;
    std::u16string result;
    int paragraphs;
  };
  const Case cases[] = {
      {u"abc", 1, 1, u"X", u"aXbc", 1},
      {u"abc", 1, 1, u"x\r\ny", u"ax\r\nybc", 2},
      {u"abc", 1, 1, u"x\ry", u"ax\r\nybc", 2},          // a lone CR is a break
      {u"abc", 1, 1, u"x\ny", u"ax\nybc", 1},            // a lone LF stays a character
      {u"ab\r\ncd\r\nef", 1, 9, u"", u"af", 1},          // join across paragraphs
      {u"ab\r\ncd\r\nef", 2, 4, u"", u"abcd\r\nef", 2},  // delete one break
      {u"ab\r\ncd", 2, 3, u"", u"abcd", 1},              // a range end between CR and LF takes the break
      {u"ab\r\ncd", 3, 4, u"", u"abcd", 1},              // so does a range start there
      {u"ab\r\ncd", 0, 6, u"", u"", 1},
      {u"", 0, 0, u"\r\n\r\n", u"\r\n\r\n", 3},
      {u"ab\r\ncd", 1, 5, u"1\r\n2\r\n3", u"a1\r\n2\r\n3d", 3},
  };
  for (const Case& c : cases) {
    TPlusMemoU memo;
    LoadText(memo, c.start);
    memo.ReplaceRange(c.from, c.to, c.insert);
    EXPECT_EQ(memo.Text(), c.result) << test::S(c.start) << " [" << c.from << "," << c.to << ")";
    EXPECT_EQ(memo.ParagraphCount(), c.paragraphs);
    EXPECT_EQ(memo.TextLength(), static_cast<int32_t>(c.result.size()));
    VerifyStore(memo.Paragraphs(), "memo");
  }
}

TEST(Replace, InsideOneParagraphMovesLaterOffsetsNotLines) {
  TPlusMemoU memo;
  memo.WordWrap = false;
  LoadText(memo, u"one\r\ntwo\r\nthree\r\nfour");
  const TParagraphsList& list = memo.Paragraphs();
  memo.ReplaceRange(6, 6, u"XYZ");  // inside "two"
  EXPECT_EQ(list.StartOffset(0), 0);
  EXPECT_EQ(list.StartOffset(1), 5);
  EXPECT_EQ(list.StartOffset(2), 13);
  EXPECT_EQ(list.StartOffset(3), 20);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(list.StartLine(i), i);
  // A second edit far above applies the pending shift correctly.
  memo.ReplaceRange(0, 1, u"");
  EXPECT_EQ(list.StartOffset(3), 19);
  VerifyStore(list, "memo");
}

TEST(Replace, StyleRunsInsideAreRemovedAndTailRunsFollow) {
  TPlusMemoU memo;
  LoadText(memo, u"0123456789\r\nabcdefghij");
  TParagraphsList& list = memo.Paragraphs();
  list.SetRuns(0, {RunAt(2, 1), RunAt(5, 2), RunAt(8, 3)});
  list.SetRuns(1, {RunAt(1, 4), RunAt(6, 5)});

  // Same paragraph: the run at 5 lies inside [4, 7) and goes; 8 moves by -1.
  TReplaceResult r = memo.ReplaceRange(4, 7, u"XY");
  EXPECT_TRUE(r.RunsRemoved);
  EXPECT_EQ(RunsOf(list, 0), (std::vector<std::pair<int32_t, int32_t>>{{2, 1}, {7, 3}}));

  // Across the break: the tail of paragraph 1 from offset 3 joins paragraph 0 at offset 6.
  r = memo.ReplaceRange(6, 14, u"");
  EXPECT_TRUE(r.RunsRemoved);
  EXPECT_EQ(memo.Text(), u"0123XYdefghij");
  EXPECT_EQ(RunsOf(list, 0), (std::vector<std::pair<int32_t, int32_t>>{{2, 1}, {9, 5}}));

  // An insertion at a run start keeps the run after the new text.
  r = memo.ReplaceRange(2, 2, u"++\r\n-");
  EXPECT_FALSE(r.RunsRemoved);
  EXPECT_EQ(RunsOf(list, 0), (std::vector<std::pair<int32_t, int32_t>>{}));
  EXPECT_EQ(RunsOf(list, 1), (std::vector<std::pair<int32_t, int32_t>>{{1, 1}, {8, 5}}));
  VerifyStore(list, "memo");
}

TEST(Replace, NewParagraphsCarryTheScanFlagsOfTheSplitOne) {
  TPlusMemoU memo;
  LoadText(memo, u"abc");
  TParagraphsList& list = memo.Paragraphs();
  list.SetFlags(0, pfSpansParsed | pfKeywordsApplied | pfLaidOut);
  list.Replace(0, 1, 0, 1, u"\r\n");
  EXPECT_EQ(list.Flags(1) & pfHighlightBits, pfSpansParsed | pfKeywordsApplied);
  EXPECT_EQ(list.Flags(0) & pfLaidOut, 0);
}

TEST(Replace, BuffersGrowWithSlackAndShrinkInPlaceOnlyWhenTight) {
  TPlusMemoU memo;
  LoadText(memo, std::u16string(640, u'a'));
  TParagraphsList& list = memo.Paragraphs();
  memo.ReplaceRange(0, 0, u"b");
  ASSERT_TRUE(list.Flags(0) & pfOwnText);
  EXPECT_EQ(TextCapacity(list.Text(0)), 641 + 641 / 64 + 1);
  const char16_t* buffer = list.Text(0);
  memo.ReplaceRange(0, 0, u"c");  // fits the slack
  EXPECT_EQ(list.Text(0), buffer);
  memo.ReplaceRange(0, 600, u"");  // far too roomy now
  EXPECT_EQ(TextCapacity(list.Text(0)), 42 + 42 / 64 + 1);
  EXPECT_EQ(memo.ParagraphText(0), std::u16string(42, u'a'));
}

// Many new lines share one block of text, as loaded lines do; a shared
// block is freed with the last paragraph that points into it.
TEST(Replace, ManyNewLinesShareOneBlockThatGoesWithTheirLastParagraph) {
  TPlusMemoU memo;
  LoadText(memo, u"first\r\nsecond");
  TParagraphsList& list = memo.Paragraphs();
  ASSERT_EQ(list.TextBlocks.size(), 1u);
  std::u16string lines;
  for (int i = 0; i < 40; ++i) lines += (i % 5 == 0 ? u"" : u"line") + std::u16string(u"\r\n");
  memo.ReplaceRange(0, memo.TextLength(), lines);  // the loaded lines all go, and their block
  ASSERT_EQ(list.TextBlocks.size(), 1u);
  EXPECT_EQ(list.TextBlocks[0].Users, 32);  // the empty lines point nowhere
  EXPECT_FALSE(list.Flags(2) & pfOwnText);
  EXPECT_EQ(memo.Text(), lines);
  VerifyStore(list, "after the replacement");

  memo.ReplaceRange(list.StartOffset(2), list.StartOffset(2), u"typed ");  // the edited line takes its own copy
  EXPECT_TRUE(list.Flags(2) & pfOwnText);
  EXPECT_EQ(list.TextBlocks[0].Users, 31);
  EXPECT_EQ(memo.ParagraphText(2), u"typed line");
  VerifyStore(list, "after typing");

  memo.ReplaceRange(list.StartOffset(3), memo.TextLength(), u"");
  ASSERT_EQ(list.TextBlocks.size(), 1u);
  EXPECT_EQ(list.TextBlocks[0].Users, 1);  // line 1 still points into it
  VerifyStore(list, "after the deletion");
  memo.ReplaceRange(list.StartOffset(1), list.StartOffset(1), u"my ");
  EXPECT_TRUE(list.TextBlocks.empty());
  EXPECT_EQ(memo.Text(), u"\r\nmy line\r\ntyped line\r\n");
  VerifyStore(list, "after the last shared line was edited");

  memo.ReplaceRange(0, 0, std::u16string(40, u'\r'));  // new lines that are all empty need no block
  EXPECT_TRUE(list.TextBlocks.empty());
  VerifyStore(list, "after empty lines");
}

TEST(Replace, TooLongRaisesAndChangesNothing) {
  TPlusMemoU memo;
  LoadText(memo, u"abc\r\ndef");
  memo.Paragraphs().LengthLimit = 100;
  TPlusNavigatorU nav(&memo);
  nav.SetPos(6);
  try {
    memo.ReplaceRange(1, 1, std::u16string(200, u'x'));
    FAIL() << "expected Text too long";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Text too long");
  }
  EXPECT_THROW(memo.ReplaceRange(1, 1, std::u16string(50, u'x') + u"\r\n" + std::u16string(50, u'y')), Exception);
  EXPECT_EQ(memo.Text(), u"abc\r\ndef");
  EXPECT_EQ(nav.Pos(), 6);
  EXPECT_EQ(nav.ParNumber(), 1);
  VerifyStore(memo.Paragraphs(), "memo");
  memo.ReplaceRange(1, 1, std::u16string(60, u'x'));  // within the limit
  EXPECT_EQ(memo.TextLength(), 68);
}

TEST(Replace, StaticFormatStateCarriesToLaterParagraphs) {
  TPlusMemoU memo;
  memo.SetStaticFormat(true);
  LoadText(memo, u"a\2b\r\nc\r\nd");
  TParagraphsList& list = memo.Paragraphs();
  EXPECT_EQ(list.LayoutInfo(1).StartStyle, fsBold);
  EXPECT_EQ(list.LayoutInfo(2).StartStyle, fsBold);
  const TReplaceResult r = memo.ReplaceRange(3, 3, u"\2");  // closes the bold before the break
  EXPECT_TRUE(r.StyleStateChanged);
  EXPECT_EQ(list.LayoutInfo(1).StartStyle, 0);
  EXPECT_EQ(list.LayoutInfo(2).StartStyle, 0);
  EXPECT_FALSE(memo.ReplaceRange(0, 0, u"x").StyleStateChanged);
}

}  // namespace
}  // namespace qm
