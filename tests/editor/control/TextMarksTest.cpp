// Marks of the text: they follow edits as navigators do, are found by position, and an edit into one drops it.
#include <gtest/gtest.h>

#include "TestUtil.h"
#include "editor/control/PlusMemoU.h"

namespace qm {
namespace {

std::vector<std::pair<int32_t, int32_t>> Spans(const TPlusMemoU& memo) {
  std::vector<std::pair<int32_t, int32_t>> out;
  for (const TTextMark& m : memo.Marks().All()) out.emplace_back(m.Start, m.Length);
  return out;
}

TEST(TextMarksTest, MarksFollowEditsAndAnEditIntoOneDropsIt) {
  struct Case {
    const char* name;
    int32_t start, stop;
    std::u16string text;
    std::vector<std::pair<int32_t, int32_t>> marks;
  };
  // "abc def\r\nghi jkl" with marks on "def" (4, 3) and "jkl" (13, 3).
  const Case cases[] = {
      {"typing before both", 0, 0, u"xx", {{6, 3}, {15, 3}}},
      {"a new line between them", 7, 7, u"\r\n", {{4, 3}, {15, 3}}},
      {"typing into the first", 5, 5, u"x", {{14, 3}}},
      {"deleting the break", 7, 9, u"", {{4, 3}, {11, 3}}},
      {"typing right after the last", 16, 16, u"!", {{4, 3}, {13, 3}}},
      {"replacing all", 0, 16, u"new", {}},
  };
  for (const Case& c : cases) {
    TPlusMemoU memo;
    test::LoadText(memo, u"abc def\r\nghi jkl");
    memo.SetMarks({TTextMark{13, 3, 255, 1, u"second"}, TTextMark{4, 3, 255, 1, u"first"}});
    memo.ReplaceRange(c.start, c.stop, c.text);
    EXPECT_EQ(Spans(memo), c.marks) << c.name;
  }
}

TEST(TextMarksTest, TheMarkAtAPositionAndTheHeaviestOfALine) {
  TPlusMemoU memo;
  test::LoadText(memo, u"abc def ghi");
  memo.SetMarks(
      {TTextMark{0, 7, 255, 2, u"long"}, TTextMark{4, 1, 0x00FF00, 1, u"short"}, TTextMark{8, 3, 255, 1, u"last"}});
  EXPECT_EQ(memo.Marks().At(4)->Hint, u"long") << "the first mark in order that covers it";
  EXPECT_EQ(memo.Marks().At(7), nullptr) << "the space between them";
  EXPECT_EQ(memo.Marks().At(10)->Hint, u"last");
  EXPECT_EQ(memo.Marks().At(11), nullptr);
  EXPECT_EQ(memo.Marks().Heaviest(4, 6)->Hint, u"long");
  EXPECT_EQ(memo.Marks().Heaviest(8, 11)->Hint, u"last");
  // A load is a new text: its old marks go.
  test::LoadText(memo, u"other");
  EXPECT_TRUE(memo.Marks().All().empty());
}

}  // namespace
}  // namespace qm
