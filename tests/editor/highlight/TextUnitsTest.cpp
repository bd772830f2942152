// The unit search behind the stop-key search, and the words of a paragraph the keyword lookups read.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "TestUtil.h"
#include "editor/highlight/Scan.h"
#include "editor/store/CaseFolding.h"

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

// The words are the maximal runs outside the separators, each with the hashes
// the lookups use: empty paragraphs, long words, paragraphs of separators only,
// units outside ASCII (the separator table reads those from 256 on as one).
TEST(ParagraphTextTest, WordsAreTheRunsBetweenSeparators) {
  const TCharSet separators(u" ;(),\t");
  std::mt19937 rng(1211);
  const std::u16string alphabet = u"ab  ;Q(\u0436\u00ff\u0100";
  auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng); };
  scan::TParagraphText text;
  for (int round = 0; round < 3000; ++round) {
    std::u16string par;
    const size_t length = round < 200 ? static_cast<size_t>(round) : pick(300);
    // Some paragraphs are one long word, or nothing but separators.
    const std::u16string units = round % 7 == 0 ? u"x" : round % 11 == 0 ? u" ;" : alphabet;
    for (size_t n = length; n > 0; --n) par.push_back(units[pick(units.size())]);
    text.Reset(par);
    const bool withPlain = round % 2 == 0;
    const auto& words = text.Words(separators, pmuAscii, withPlain);
    const std::u16string folded = FoldedCopy(par, pmuAscii);
    size_t w = 0;
    for (size_t i = 0; i < par.size();) {
      if (separators.Contains(par[i])) {
        ++i;
        continue;
      }
      size_t j = i;
      while (j < par.size() && !separators.Contains(par[j])) ++j;
      ASSERT_LT(w, words.size()) << test::S(par);
      EXPECT_EQ(words[w].Start, static_cast<int32_t>(i)) << test::S(par);
      EXPECT_EQ(words[w].Length, static_cast<int32_t>(j - i)) << test::S(par);
      EXPECT_EQ(words[w].FoldedHash, scan::HashUnits(folded.data() + i, j - i));
      EXPECT_EQ(words[w].PlainHash, withPlain ? scan::HashUnits(par.data() + i, j - i) : 0);
      ++w;
      i = j;
    }
    EXPECT_EQ(w, words.size()) << test::S(par);
  }
}

}  // namespace
}  // namespace qm
