// FindText: direction, start point, whole word, case folding, paragraph bounds and the folded-paragraph cache.
#include <gtest/gtest.h>

#include "TestUtil.h"

namespace qm {
namespace {

using test::LoadText;
using test::S;
using test::U;

struct Selection {
  int32_t start;
  int32_t length;
  bool operator==(const Selection&) const = default;
};

Selection SelectionOf(const TPlusMemoU& memo) { return {memo.SelStart(), memo.SelLength()}; }

std::ostream& operator<<(std::ostream& out, const Selection& s) {
  return out << "{" << s.start << ", " << s.length << "}";
}

TEST(FindText, RepeatedDownSearchWalksThroughTheMatchesThenStops) {
  TPlusMemoU memo;
  LoadText(memo, u"ab ab");
  memo.SetSelStart(0);
  ASSERT_TRUE(memo.FindText(u"ab", true, false, false, false));
  EXPECT_EQ(SelectionOf(memo), (Selection{2, -2}));
  EXPECT_EQ(memo.SelText(), u"ab");
  ASSERT_TRUE(memo.FindText(u"ab", true, false, false, false));
  EXPECT_EQ(SelectionOf(memo), (Selection{5, -2}));
  EXPECT_FALSE(memo.FindText(u"ab", true, false, false, false));
  EXPECT_EQ(SelectionOf(memo), (Selection{5, -2}));
}

TEST(FindText, RepeatedUpSearchWalksBackwardsThenStops) {
  TPlusMemoU memo;
  LoadText(memo, u"ab ab");
  memo.SetSelStart(5);
  ASSERT_TRUE(memo.FindText(u"ab", false, false, false, false));
  EXPECT_EQ(SelectionOf(memo), (Selection{3, 2}));
  ASSERT_TRUE(memo.FindText(u"ab", false, false, false, false));
  EXPECT_EQ(SelectionOf(memo), (Selection{0, 2}));
  EXPECT_FALSE(memo.FindText(u"ab", false, false, false, false));
  EXPECT_EQ(SelectionOf(memo), (Selection{0, 2}));
}

TEST(FindText, Table) {
  struct Case {
    const char* what;
    std::u16string text;
    int32_t caret;
    std::u16string pattern;
    bool down, fromEnd, wholeWord, matchCase;
    bool found;
    Selection selection;  // expected; on a miss the caret stays with nothing selected
    TpmUpperCase fold = pmuAscii;
  };
  const Case cases[] = {
      {"whole word skips a word ending", u"elseif x", 0, u"if", true, false, true, false, false, {0, 0}},
      {"whole word finds IF without match case", u"elseif IF", 0, u"if", true, false, true, false, true, {9, -2}},
      {"whole word with match case misses IF", u"elseif IF", 0, u"if", true, false, true, true, false, {0, 0}},
      {"match case finds the exact letters", u"IF elseif", 0, u"if", true, false, false, true, true, {9, -2}},
      {"plain search finds inside a word", u"elseif IF", 0, u"if", true, false, false, false, true, {6, -2}},
      {"whole word goes on behind a rejected start", u"elseif if", 0, u"if", true, false, true, false, true, {9, -2}},
      {"separators bound a whole word", u"x.if;", 0, u"if", true, false, true, false, true, {4, -2}},
      {"whole word rejects a letter after it", u"iff", 0, u"if", true, false, true, false, false, {0, 0}},
      {"whole word up skips a word ending", u"if elseif", 9, u"if", false, false, true, false, true, {0, 2}},
      {"down starts at the caret offset", u"abab", 1, u"ab", true, false, false, false, true, {4, -2}},
      {"down goes on into later paragraphs", u"x\r\nab", 0, u"ab", true, false, false, false, true, {5, -2}},
      {"down at a paragraph end goes on to the next", u"ab\r\nab", 2, u"ab", true, false, false, false, true, {6, -2}},
      {"up takes a match that starts before the caret", u"ab", 1, u"ab", false, false, false, false, true, {0, 2}},
      {"up takes the last match of the nearest earlier paragraph",
       u"ab ab\r\ncd ab",
       9,
       u"ab",
       false,
       false,
       false,
       false,
       true,
       {3, 2}},
      {"up from the start finds nothing", u"ab", 0, u"ab", false, false, false, false, false, {0, 0}},
      {"from the end down starts at the text start", u"ab ab", 5, u"ab", true, true, false, false, true, {2, -2}},
      {"from the end up starts at the text end", u"ab\r\nab ab", 0, u"ab", false, true, false, false, true, {7, 2}},
      {"a match never spans a break (down)", u"xa\r\nby", 0, u"ab", true, false, false, false, false, {0, 0}},
      {"a match never spans a break (up)", u"xa\r\nby", 6, u"ab", false, false, false, false, false, {6, 0}},
      {"a pattern holding a break never matches", u"a\r\nb", 0, u"a\r\nb", true, true, false, false, false, {0, 0}},
      {"an empty pattern finds nothing", u"ab", 0, u"", true, false, false, false, false, {0, 0}},
      {"ASCII folding leaves other letters apart",
       U("привет"),
       0,
       U("ПРИВЕТ"),
       true,
       false,
       false,
       false,
       false,
       {0, 0}},
      {"platform folding joins other letters",
       U("привет"),
       0,
       U("ПРИВЕТ"),
       true,
       false,
       false,
       false,
       true,
       {6, -6},
       pmuAnsi},
  };
  for (const Case& c : cases) {
    TPlusMemoU memo;
    memo.SetUpperCaseType(c.fold);
    LoadText(memo, c.text);
    memo.SetSelStart(c.caret);
    EXPECT_EQ(memo.FindText(c.pattern, c.down, c.fromEnd, c.wholeWord, c.matchCase), c.found) << c.what;
    EXPECT_EQ(SelectionOf(memo), c.found ? c.selection : (Selection{c.caret, 0})) << c.what;
  }
}

TEST(FindText, MissLeavesASelectionAsItWas) {
  TPlusMemoU memo;
  LoadText(memo, u"abc def");
  memo.SetSelStart(5);
  memo.SetSelLength(-3);
  EXPECT_FALSE(memo.FindText(u"xyz", true, true, false, false));
  EXPECT_EQ(SelectionOf(memo), (Selection{5, -3}));
}

TEST(FindText, FoldedCopyIsNotStaleAfterAnEdit) {
  struct Case {
    const char* what;
    std::u16string text;
    std::u16string first;  // searched before the edit, from the text start
    int32_t editFrom, editTo;
    std::u16string insert;
    int32_t from;           // caret for the search after the edit
    std::u16string second;  // searched after the edit
    Selection selection;
  };
  const Case cases[] = {
      // Same length, same paragraph: only the edit itself tells the copy is old.
      {"edit in the searched paragraph", u"ab cd", u"CD", 0, 2, u"cd", 0, u"CD", {2, -2}},
      // Another paragraph now has the index of the searched one.
      {"paragraph inserted above", u"ab\r\ncd", u"CD", 0, 0, u"zz\r\n", 4, u"AB", {6, -2}},
  };
  for (const Case& c : cases) {
    TPlusMemoU memo;
    LoadText(memo, c.text);
    memo.SetSelStart(0);
    ASSERT_TRUE(memo.FindText(c.first, true, false, false, false)) << c.what;
    memo.SetSelStart(c.editFrom);
    memo.SetSelLength(c.editTo - c.editFrom);
    memo.SetSelText(c.insert);
    memo.SetSelStart(c.from);
    EXPECT_TRUE(memo.FindText(c.second, true, false, false, false)) << c.what << ": " << S(memo.Text());
    EXPECT_EQ(SelectionOf(memo), c.selection) << c.what;
  }
}

}  // namespace
}  // namespace qm
