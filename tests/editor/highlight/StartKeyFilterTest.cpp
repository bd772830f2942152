// The paragraph-wide start-key filter: never "no" where a key matches, and "no" on plain statements.
#include <gtest/gtest.h>

#include <random>

#include "HighlightUtil.h"
#include "editor/highlight/KeyOptions.h"
#include "editor/highlight/StartKeyFilter.h"
#include "editor/store/CaseFolding.h"

namespace qm {
namespace {

TEST(StartKeyFilterTest, MainChainRulesOutPlainStatementsOnly) {
  auto chain = test::MainChain();
  TPlusMemoU memo;
  test::ConfigureScriptEditor(memo, *chain);
  scan::TStartKeyFilter filter;
  ASSERT_TRUE(filter.Build(memo));
  struct Case {
    const char16_t* line;
    bool mayStart;
  };
  const Case cases[] = {
      {u"  set goldTotal to goldTotal - 22", false},
      {u"", false},
      {u"  if player.GetDistance DoorREF <= 0.5", false},
      {u"subegin unscn", false},         // whole-word keys inside words
      {u"  set x to 1 ; a note", true},  // comment
      {u"MessageBox \"Hello\"", true},   // string
      {u"begin GameMode", true},
      {u"(BeGiN", true},  // after a separator, any case
      {u"SCN MyScript", true},
      {u"scriptname x", true},
      {u"if GetMenuMode", true},  // MENUMODE is not a whole-word key
      {u"x\u00e9begin", true},    // a unit outside ASCII may be a separator
      {u"\u0131n", true},         // folding may map a unit outside ASCII to any key unit
  };
  for (const Case& c : cases) EXPECT_EQ(filter.MayStartIn(c.line), c.mayStart) << WideToUtf8(c.line);
}

TEST(StartKeyFilterTest, HandlersOrUserFoldingTurnItOff) {
  auto chain = test::MainChain();
  TPlusMemoU memo;
  test::ConfigureScriptEditor(memo, *chain);
  scan::TStartKeyFilter filter;
  chain->First()->AsExtHighlighter()->OnStart = [](TComponent*, TPlusNavigatorU*, TPlusNavigatorU*, int, bool&) {};
  EXPECT_FALSE(filter.Build(memo));
  chain->First()->AsExtHighlighter()->OnStart = nullptr;
  EXPECT_TRUE(filter.Build(memo));
  memo.StartStopKeys.AddStartStopKey(u"rem", u"", 0, 0, 0, 0, -1, -1, true);
  memo.StartStopKeys.SetUpperCaseType(pmuUserDefined);
  EXPECT_FALSE(filter.Build(memo));
}

// Random keys (with case or without, whole words or not, units outside ASCII
// that fold onto ASCII ones) over random text: wherever some key matches, the
// filter must say so, and name a first position no later than the match.
TEST(StartKeyFilterTest, NeverRulesOutAMatch) {
  const std::u16string alphabet = u"abcsSBE ;.\"x\u0131\u017f\u212aK\u00e9\u0130";
  std::mt19937 rng(20261210);
  auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng); };
  auto randomText = [&](size_t maxLength) {
    std::u16string s;
    for (size_t n = pick(maxLength + 1); n > 0; --n) s.push_back(alphabet[pick(alphabet.size())]);
    return s;
  };
  int matched = 0;
  int ruledOut = 0;
  for (int round = 0; round < 300; ++round) {
    TPlusMemoU memo;
    memo.SetSeparators(TCharSet(u" .;"));
    TStartStopKeyList& keys = memo.StartStopKeys;
    keys.SetUpperCaseType(round % 2 == 0 ? pmuAscii : pmuAnsi);
    for (int k = 1 + static_cast<int>(pick(4)); k > 0; --k) {
      std::u16string key(1, alphabet[pick(alphabet.size())]);
      key += randomText(3);
      keys.AddStartStopKey(key, u"", static_cast<uint8_t>(pick(4)), 0, 0, 0, -1, -1, true);
    }
    keys.ComputeSeparators(memo.Separators);
    scan::TStartKeyFilter filter;
    ASSERT_TRUE(filter.Build(memo));
    for (int t = 0; t < 40; ++t) {
      const std::u16string text = randomText(30);
      const std::u16string folded = FoldedCopy(text, keys.UpperCaseType());
      size_t first = std::u16string_view::npos;
      for (int e = 0; e < keys.Count(); ++e)
        for (size_t pos = 0; pos < std::min(text.size(), first); ++pos)
          if (keys.StartMatchesAt(static_cast<size_t>(e), text, folded, pos, memo.Separators)) first = pos;
      const bool may = filter.MayStartIn(text);
      if (first != std::u16string_view::npos) {
        ++matched;
        ASSERT_TRUE(may) << "round " << round << " text " << WideToUtf8(text);
        // No key begins before the first position the filter names.
        ASSERT_LE(filter.FirstStart(text), first) << "round " << round << " text " << WideToUtf8(text);
      } else if (!may) {
        ++ruledOut;
      }
    }
  }
  // Both sides of the property were met.
  EXPECT_GT(matched, 500);
  EXPECT_GT(ruledOut, 500);
}

}  // namespace
}  // namespace qm
