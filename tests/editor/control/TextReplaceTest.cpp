// Replace all on the editor: tables of texts and patterns, one undo step, the caret's place, the selection, multi-line matches, escapes.
#include "editor/control/TextReplace.h"

#include <gtest/gtest.h>

#include <random>

#include "TestUtil.h"

namespace qm {
namespace {

using test::LoadText;
using test::S;

struct Case {
  std::u16string text;
  std::u16string find;
  std::u16string replace;
  bool wholeWord;
  bool matchCase;
  std::u16string result;
  int count;
};

TEST(ReplaceAll, Table) {
  const Case cases[] = {
      {u"set x to x", u"x", u"y", false, false, u"set y to y", 2},
      {u"Set SET set", u"set", u"put", false, false, u"put put put", 3},
      {u"Set SET set", u"set", u"put", false, true, u"Set SET put", 1},
      {u"timer timr timr2 xtimr", u"timr", u"timer", true, false, u"timer timer timr2 xtimr", 1},
      {u"timr(timr).timr", u"timr", u"t", true, false, u"t(t).t", 3},
      // A replacement that holds the pattern is not searched again.
      {u"a a", u"a", u"aa", false, false, u"aa aa", 2},
      {u"aaaa", u"aa", u"a", false, false, u"aa", 2},
      // An empty replacement deletes.
      {u"x = 1; x", u"x", u"", false, false, u" = 1; ", 2},
      // Matches across line breaks, and breaks put in.
      {u"end\r\nbegin\r\nend\r\nbegin", u"end\r\nbegin", u"end begin", false, false, u"end begin\r\nend begin", 2},
      {u"a;b", u";", u"\r\n", false, false, u"a\r\nb", 1},
      {u"none here", u"zzz", u"y", false, false, u"none here", 0},
      {u"", u"x", u"y", false, false, u"", 0},
  };
  for (const Case& c : cases) {
    TPlusMemoU memo;
    memo.SetSeparators(TCharSet(u"\t\n\r $%&(),./:;<=>"));
    LoadText(memo, c.text);
    EXPECT_EQ(memo.ReplaceAll(c.find, c.replace, c.wholeWord, c.matchCase, false), c.count) << S(c.text);
    EXPECT_EQ(memo.Text(), c.result) << S(c.text) << " / " << S(c.find);
  }
}

TEST(ReplaceAll, MatchesWhatFindFindsForEveryRule) {
  const std::u16string text = u"Abc abc ABC xabc abcx abc.abc\r\nabc";
  for (const bool wholeWord : {false, true}) {
    for (const bool matchCase : {false, true}) {
      TPlusMemoU memo;
      LoadText(memo, text);
      memo.SetSelStart(0);
      int found = 0;
      while (memo.FindText(u"abc", true, false, wholeWord, matchCase)) ++found;
      EXPECT_EQ(memo.ReplaceAll(u"abc", u"#", wholeWord, matchCase, false), found)
          << "wholeWord " << wholeWord << " matchCase " << matchCase;
      memo.SetSelStart(0);
      EXPECT_FALSE(memo.FindText(u"abc", true, false, wholeWord, matchCase)) << "none left";
    }
  }
}

TEST(ReplaceAll, OneUndoRestoresTheTextWholeAndRedoRepeatsIt) {
  TPlusMemoU memo;
  LoadText(memo, u"short timr\r\nbegin GameMode\r\n  set timr to 5\r\nend");
  memo.SetSelStart(2);
  memo.SetSelText(u"x");  // typing before: a record of its own
  const std::u16string before = memo.Text();
  ASSERT_EQ(memo.ReplaceAll(u"timr", u"timer", true, false, false), 2);
  const std::u16string after = memo.Text();
  memo.Undo();
  EXPECT_EQ(memo.Text(), before);
  memo.Redo();
  EXPECT_EQ(memo.Text(), after);
  memo.Undo();
  memo.Undo();
  EXPECT_EQ(memo.Text(), u"short timr\r\nbegin GameMode\r\n  set timr to 5\r\nend");
}

TEST(ReplaceAll, TheCaretKeepsItsPlaceAmongTheTextAroundIt) {
  const struct {
    int32_t caret;
    int32_t after;
  } cases[] = {
      {0, 0},    // before every match
      {4, 4},    // at the first match's start
      {6, 4},    // inside it: at the replacement's start
      {9, 10},   // between the two
      {17, 19},  // behind both
  };
  for (const auto& c : cases) {
    TPlusMemoU memo;
    LoadText(memo, u"set timr x timr 5");  // matches at 4 and 11
    memo.SetSelStart(c.caret);
    ASSERT_EQ(memo.ReplaceAll(u"timr", u"timer", false, false, false), 2);
    EXPECT_EQ(memo.SelStart(), c.after) << c.caret;
    EXPECT_EQ(memo.SelLength(), 0);
  }
}

TEST(ReplaceAll, OnlyInsideTheSelectionWhenAsked) {
  TPlusMemoU memo;
  LoadText(memo, u"x x\r\nx x\r\nx x");
  memo.SetSelStart(5);
  memo.SetSelLength(3);  // the second line
  EXPECT_EQ(memo.ReplaceAll(u"x", u"yy", false, false, true), 2);
  EXPECT_EQ(memo.Text(), u"x x\r\nyy yy\r\nx x");
  EXPECT_EQ(memo.SelText(), u"yy yy") << "the selection covers the replaced stretch";
  memo.Undo();
  EXPECT_EQ(memo.Text(), u"x x\r\nx x\r\nx x");
  memo.SetSelStart(0);
  EXPECT_EQ(memo.ReplaceAll(u"x", u"z", false, false, true), 0) << "no selection, nothing to replace in";
}

TEST(ReplaceAll, AReadOnlyTextIsLeftAlone) {
  TPlusMemoU memo;
  LoadText(memo, u"a a");
  memo.ReadOnly = true;
  EXPECT_EQ(memo.ReplaceAll(u"a", u"b", false, false, false), 0);
  EXPECT_EQ(memo.Text(), u"a a");
}

TEST(ReplaceAll, EqualsAPlainStringModelOnRandomTexts) {
  std::mt19937 random(20261211);
  const std::u16string alphabet = u"ab \r\n";
  auto randomText = [&](int length) {
    std::u16string s;
    for (int i = 0; i < length; ++i) s += alphabet[random() % 3];  // letters and spaces in the text
    return s;
  };
  for (int round = 0; round < 300; ++round) {
    const std::u16string text = randomText(static_cast<int>(random() % 40));
    const std::u16string find = randomText(1 + static_cast<int>(random() % 3));
    const std::u16string replace = randomText(static_cast<int>(random() % 4));
    std::u16string model;
    int count = 0;
    for (size_t i = 0; i < text.size();) {
      if (text.compare(i, find.size(), find) == 0) {
        model += replace;
        i += find.size();
        ++count;
      } else {
        model += text[i++];
      }
    }
    TPlusMemoU memo;
    LoadText(memo, text);
    ASSERT_EQ(memo.ReplaceAll(find, replace, false, true, false), count) << S(text) << " / " << S(find);
    ASSERT_EQ(memo.Text(), model) << S(text) << " / " << S(find) << " / " << S(replace);
    memo.Undo();
    ASSERT_EQ(memo.Text(), text);
  }
}

TEST(FindMatches, MatchesAtTheFoldingWindowsEdgesAreFoundOnceAndNeverOverlap) {
  // The text is folded 65,536 units at a time.
  for (const size_t edge : {size_t{65536}, size_t{131072}}) {
    for (size_t shift = 0; shift < 4; ++shift) {
      const std::u16string text = std::u16string(edge - shift, u'x') + u"aAaAa" + std::u16string(9, u'x');
      const std::vector<int32_t> found = FindMatches(text, u"AA", TMatchRules{});
      const auto a = static_cast<int32_t>(edge - shift);
      EXPECT_EQ(found, (std::vector<int32_t>{a, a + 2})) << edge << " " << shift;
      EXPECT_EQ(FindMatches(text, u"aA", TMatchRules{false, true}), (std::vector<int32_t>{a, a + 2}));
    }
  }
}

TEST(FindAcross, APatternWithABreakIsFoundBothWaysAndAPlainOneAsFindFindsIt) {
  TPlusMemoU memo;
  LoadText(memo, u"end\r\nbegin x\r\nend\r\nbegin");
  memo.SetSelStart(0);
  ASSERT_TRUE(memo.FindAcross(u"END\r\nbegin", true, false, false));
  EXPECT_EQ(memo.SelStart(), 10);
  EXPECT_EQ(memo.SelText(), u"end\r\nbegin");
  ASSERT_TRUE(memo.FindAcross(u"end\r\nbegin", true, false, false));
  EXPECT_EQ(memo.SelStart(), 24);
  EXPECT_FALSE(memo.FindAcross(u"end\r\nbegin", true, false, false));
  ASSERT_TRUE(memo.FindAcross(u"end\r\nbegin", false, false, false));
  EXPECT_EQ(memo.SelStart(), 14);
  memo.SetSelStart(14);
  ASSERT_TRUE(memo.FindAcross(u"end\r\nbegin", false, false, false));
  EXPECT_EQ(memo.SelStart(), 0);
  memo.SetSelStart(0);
  ASSERT_TRUE(memo.FindAcross(u"x", true, false, false));
  EXPECT_EQ(memo.SelStart(), 12);
}

TEST(SelectionMatches, JudgesTheSelectionByTheFindRules) {
  TPlusMemoU memo;
  LoadText(memo, u"Timr timrs");
  memo.SetSelStart(0);
  memo.SetSelLength(4);
  EXPECT_TRUE(memo.SelectionMatches(u"timr", true, false));
  EXPECT_FALSE(memo.SelectionMatches(u"timr", true, true)) << "case";
  memo.SetSelStart(5);
  memo.SetSelLength(4);
  EXPECT_TRUE(memo.SelectionMatches(u"timr", false, false));
  EXPECT_FALSE(memo.SelectionMatches(u"timr", true, false)) << "part of a word";
  EXPECT_FALSE(memo.SelectionMatches(u"tim", false, false)) << "longer than the pattern";
}

TEST(ExpandSpecials, LineBreaksTabsAndBackslashes) {
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"a\\nb", u"a\r\nb"}, {u"\\t", u"\t"},      {u"\\\\n", u"\\n"},
      {u"\\x", u"\\x"},      {u"end\\", u"end\\"}, {u"plain", u"plain"},
  };
  for (const auto& [typed, expanded] : cases) EXPECT_EQ(ExpandSpecials(typed), expanded) << S(typed);
}

}  // namespace
}  // namespace qm
