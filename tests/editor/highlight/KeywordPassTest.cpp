// The indexed keyword pass finds exactly the matches of the literal one, and highlights exactly the same.
#include <gtest/gtest.h>

#include <random>

#include "HighlightUtil.h"
#include "bench/ScriptGenerator.h"
#include "editor/highlight/ExtHilitU.h"
#include "editor/highlight/KeyOptions.h"

namespace qm {
namespace {

class RandomWords {
 public:
  explicit RandomWords(uint32_t seed) : rng_(seed) {}
  int Below(int n) { return static_cast<int>(rng_() % static_cast<uint32_t>(n)); }
  // Short words over a small alphabet so that keys and text collide often.
  std::u16string Word(int maxLength) {
    static const char16_t kLetters[] = u"abAB.Я";
    std::u16string w;
    const int n = 1 + Below(maxLength);
    for (int i = 0; i < n; ++i) w += kLetters[Below(6)];
    return w;
  }
  std::u16string Paragraph() {
    static const char16_t kSeparators[] = u" ,;(";
    std::u16string p;
    const int words = Below(14);
    for (int i = 0; i < words; ++i) {
      p += Word(5);
      p += kSeparators[Below(4)];
    }
    return p;
  }

 private:
  std::mt19937 rng_;
};

void FillList(TExtKeywordList& list, RandomWords& rnd) {
  list.BeginUpdate();
  const int n = 1 + rnd.Below(12);
  for (int i = 0; i < n; ++i) {
    const uint8_t options = static_cast<uint8_t>(rnd.Below(4));  // match case and whole word in every mix
    const int16_t context = static_cast<int16_t>(rnd.Below(5) == 0 ? 0 : 1 + rnd.Below(4));
    const std::u16string key = rnd.Below(6) == 0 && list.Count() > 0 ? list.Entry(0).Keyword : rnd.Word(4);
    list.AddExtKeyword(key, options, 0, context, 0, 32767, 0, -1, -1);
  }
  list.EndUpdate();
}

TEST(KeywordPass, IndexFindsTheLiteralMatches) {
  const TCharSet separators(u" ,;(.");
  for (uint32_t seed = 1; seed <= 3000; ++seed) {
    RandomWords rnd(seed);
    TExtKeywordList list;
    FillList(list, rnd);
    TKeywordIndex index;
    index.Prepare(list, separators);
    TPlusMemoU memo;
    test::LoadText(memo, rnd.Paragraph());
    const TParagraphsList& paragraphs = memo.Paragraphs();
    // The whole paragraph, and a window around a random edit point.
    const int32_t len = paragraphs.Length(0);
    const int32_t at = rnd.Below(len + 1);
    for (const auto& [from, to] : {std::pair{0, len}, std::pair{at, std::min(len, at + rnd.Below(4))}}) {
      const TKeywordStretch stretch = KeywordStretch(paragraphs, 0, from, to, list.MaxKeyLength());
      scan::TParagraphText a(paragraphs, 0);
      scan::TParagraphText b(paragraphs, 0);
      ASSERT_EQ(index.Find(list, separators, a, stretch), FindKeywordsLiteral(list, separators, b, stretch))
          << "seed " << seed << " text " << test::S(paragraphs.TextView(0)) << " range " << from << ".." << to;
    }
  }
}

TEST(KeywordPass, IndexedAndLiteralPassesHighlightAlike) {
  auto indexed = test::MainChain();
  auto literal = test::MainChain();
  for (int n = 1; n <= 5; ++n) literal->U(n).UseKeywordIndex = false;
  for (uint32_t seed = 1; seed <= 200; ++seed) {
    const std::u16string text = AnsiToWide(bench::GenerateScript(40, seed));
    TPlusMemoU a;
    TPlusMemoU b;
    test::ConfigureScriptEditor(a, *indexed);
    test::ConfigureScriptEditor(b, *literal);
    test::LoadText(a, text);
    test::LoadText(b, text);
    scan::HighlightAll(a);
    scan::HighlightAll(b);
    ASSERT_EQ(test::DumpAll(a.Paragraphs()), test::DumpAll(b.Paragraphs())) << "seed " << seed;
  }
}

// Five plain extended highlighters with random lists (some sharing keys, some
// inactive, one with other separators or a keyword handler now and then), on
// the indexed passes and on the literal ones.
struct RandomChain {
  std::array<TExtHighlighterU, 5> Ext;
  explicit RandomChain(RandomWords& rnd, bool literal) {
    const bool otherSeparators = rnd.Below(4) == 0;
    const bool handler = rnd.Below(4) == 0;
    for (int n = 0; n < 5; ++n) {
      TExtHighlighterU& h = Ext[static_cast<size_t>(n)];
      h.SetSeparators(otherSeparators && n == 2 ? u" ,;" : u" ,;(.");
      FillList(h.Keywords, rnd);
      h.Active = rnd.Below(6) != 0;
      h.UseKeywordIndex = !literal;
      if (handler && n == 3)
        h.OnKeyword = [](TComponent*, TPlusNavigatorU*, TPlusNavigatorU*, int k, bool& accept) { accept = k % 2 == 0; };
      if (n > 0) Ext[static_cast<size_t>(n - 1)].SetSubHighlighter(&h);
    }
  }
};

TEST(KeywordPass, SharedLookupAlongTheChainHighlightsLikeEachPassAlone) {
  for (uint32_t seed = 1; seed <= 400; ++seed) {
    RandomWords forIndexed(seed);
    RandomWords forLiteral(seed);
    RandomChain indexed(forIndexed, false);
    RandomChain literal(forLiteral, true);
    std::u16string text;
    for (int p = 0; p < 4; ++p) text += forIndexed.Paragraph() + u"\r\n";
    TPlusMemoU a;
    TPlusMemoU b;
    a.SetHighlighter(&indexed.Ext[0]);
    b.SetHighlighter(&literal.Ext[0]);
    test::LoadText(a, text);
    test::LoadText(b, text);
    scan::HighlightAll(a);
    scan::HighlightAll(b);
    ASSERT_EQ(test::DumpAll(a.Paragraphs()), test::DumpAll(b.Paragraphs())) << "seed " << seed;
    // An edit inside a paragraph: the passes over part of it.
    const int32_t at = forIndexed.Below(static_cast<int>(text.size()) + 1);
    const std::u16string typed = forIndexed.Word(3);
    for (TPlusMemoU* memo : {&a, &b}) {
      memo->SetSelStart(at);
      memo->SetSelText(typed);
      scan::HighlightAll(*memo);
    }
    ASSERT_EQ(test::DumpAll(a.Paragraphs()), test::DumpAll(b.Paragraphs())) << "seed " << seed << " edit at " << at;
  }
}

TEST(KeywordPass, EditorsOwnListMasksHighlightedTextAndEarlierEntries) {
  struct Case {
    bool endWholeWord;
    std::u16string text;
    std::vector<int32_t> contexts;  // after each character
  };
  const Case cases[] = {
      // "end" as a whole word leaves "endif" to the next entry.
      {true, u"endif end", {2, 2, 2, 2, 2, 0, 1, 1, 1}},
      // Without it, "end" takes the first three letters and "endif" no longer matches there.
      {false, u"endif", {1, 1, 1, 0, 0}},
  };
  for (const Case& c : cases) {
    TPlusMemoU memo;
    memo.Keywords.AddKeyword(u"end", c.endWholeWord ? kwoWholeWord : 0, 0, 1, 0, -1, -1);
    memo.Keywords.AddKeyword(u"endif", kwoWholeWord, 0, 2, 0, -1, -1);
    test::LoadText(memo, c.text);
    scan::HighlightAll(memo);
    EXPECT_EQ(test::Contexts(memo, 0), c.contexts) << test::S(c.text);
  }
  // Highlighted text with a context keeps the editor's own keywords out.
  TPlusMemoU memo;
  memo.StartStopKeys.AddStartStopKey(u"'", u"", 0, 0, 7, 0, -1, -1, true);
  memo.Keywords.AddKeyword(u"end", kwoWholeWord, 0, 1, 0, -1, -1);
  test::LoadText(memo, u"end 'end");
  scan::HighlightAll(memo);
  EXPECT_EQ(test::Contexts(memo, 0), (std::vector<int32_t>{1, 1, 1, 0, 7, 7, 7, 7}));
}

TEST(KeywordPass, SeventeenMatchesInOneParagraphAreAllApplied) {
  auto chain = test::MainChain();
  TPlusMemoU memo;
  test::ConfigureScriptEditor(memo, *chain);
  std::u16string text;
  for (int i = 0; i < 17; ++i) text += u"set ";
  test::LoadText(memo, text);
  scan::HighlightAll(memo);
  const std::vector<int32_t> contexts = test::Contexts(memo, 0);
  EXPECT_EQ(std::count(contexts.begin(), contexts.end(), 1), 17 * 3);
}

}  // namespace
}  // namespace qm
