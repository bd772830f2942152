// The invariant check names the first broken rule of the store.
#include <gtest/gtest.h>

#include "TestUtil.h"
#include "editor/store/StoreCheck.h"
#include "platform/Exceptions.h"

namespace qm {
namespace {

std::string CheckMessage(const TParagraphsList& list) {
  try {
    VerifyStore(list, "PlusMemoU1");
  } catch (const Exception& e) {
    return e.Message;
  }
  return "";
}

TEST(StoreCheck, EachBrokenRuleHasItsMessage) {
  struct Case {
    const char* expected;
    std::function<void(TParagraphsList&)> corrupt;
  };
  const Case cases[] = {
      {"", [](TParagraphsList&) {}},
      {"Error 1PlusMemoU1 (paragraph 2)", [](TParagraphsList& l) { l.Rec(2)->StartLine += 1; }},
      {"Error 2 in PlusMemoU1 (paragraph 1)", [](TParagraphsList& l) { l.Rec(1)->StartOffset -= 1; }},
      {"Error 3 in PlusMemoU1 (paragraph 1)",
       [](TParagraphsList& l) {
         l.SetDisplayLines(1, {TLineInfo{0, 2}, TLineInfo{3, 4}});
       }},
      {"Error 4 in PlusMemoU1 (paragraph 0)",
       [](TParagraphsList& l) {
         l.SetLayoutInfo(0, TLineInfo{0, 1});
       }},
      {"Error 5 in PlusMemoU1", [](TParagraphsList& l) { l.TextLength += 1; }},
      {"Error 6 in PlusMemoU1", [](TParagraphsList& l) { l.LineCount += 1; }},
      // A loaded paragraph pointed outside every shared block, and a block's count of its paragraphs wrong.
      {"Error 7 in PlusMemoU1 (paragraph 1)", [](TParagraphsList& l) { l.Rec(1)->Text = l.Rec(1)->Text + 100000; }},
      {"Error 8 in PlusMemoU1", [](TParagraphsList& l) { l.TextBlocks[0].Users += 1; }},
  };
  for (const Case& c : cases) {
    TPlusMemoU memo;
    test::LoadText(memo, u"abc\r\ndefg\r\nhi");
    c.corrupt(memo.Paragraphs());
    EXPECT_EQ(CheckMessage(memo.Paragraphs()), c.expected);
  }
}

}  // namespace
}  // namespace qm
