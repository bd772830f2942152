// The unit search behind the stop-key search: the standard search's answer for every text, key and start.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "TestUtil.h"
#include "editor/highlight/Scan.h"

namespace qm {
namespace {

TEST(FindUnitsTest, AgreesWithTheStandardSearch) {
  struct Case {
    std::u16string_view hay;
    std::u16string_view key;
    size_t from;
  };
  const Case cases[] = {
      {u"", u"END", 0},
      {u"EN", u"END", 0},
      {u"END", u"END", 0},
      {u"  SET X TO 1 ; NOTE END", u"END", 0},  // past the eight-unit blocks
      {u"ENDENDENDENDENDEND", u"END", 4},       // a start inside a match
      {u"EEEEEEEEEEEEEEEEEEEEND", u"END", 0},   // many first units before the match
      {u"ABCDEFGH\u0415ND END", u"END", 0},     // a unit outside ASCII with the same low byte
      {u"\"quoted\"", u"\"", 1},
      {u"abc", u"", 2},
  };
  for (const Case& c : cases)
    EXPECT_EQ(scan::FindUnits(c.hay, c.key, c.from), c.hay.find(c.key, c.from))
        << test::S(c.hay) << " / " << test::S(c.key);

  std::mt19937 rng(1210);
  const std::u16string alphabet = u"ENDX \u0445";
  auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng); };
  for (int round = 0; round < 20000; ++round) {
    std::u16string hay;
    for (size_t n = pick(40); n > 0; --n) hay.push_back(alphabet[pick(alphabet.size())]);
    std::u16string key;
    for (size_t n = 1 + pick(3); n > 0; --n) key.push_back(alphabet[pick(alphabet.size())]);
    const size_t from = pick(hay.size() + 1);
    ASSERT_EQ(scan::FindUnits(hay, key, from), std::u16string_view(hay).find(key, from))
        << test::S(hay) << " / " << test::S(key) << " from " << from;
  }
}

}  // namespace
}  // namespace qm
