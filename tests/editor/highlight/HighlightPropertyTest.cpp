// Property test: highlighting kept up edit by edit equals a fresh highlight of the same text.
#include <gtest/gtest.h>

#include <random>

#include "HighlightUtil.h"
#include "bench/ScriptGenerator.h"
#include "bench/VariedScriptGenerator.h"
#include "editor/highlight/KeyOptions.h"
#include "editor/store/StoreCheck.h"

namespace qm {
namespace {

const char16_t* const kSnippets[] = {
    u"begin ",
    u"BEGIN GameMode\r\n",
    u"end",
    u"END\r\n",
    u"\r\nend\r\n",
    u";",
    u"; note ",
    u"\"",
    u"\"text\"",
    u"scn ",
    u"SCN Foo\r\n",
    u"ScriptName ",
    u"MenuMode",
    u"menumode",
    u"if ",
    u"endif",
    u" 12 ",
    u"set x to 5",
    u"\r\n",
    u"short ",
    u"x",
    u"Activate",
    u" ",
    u"begin MenuMode\r\n  set a to 1 ; c\r\nend\r\n",
    // Comments and strings that hold words and keys of every list.
    u"; set x to 5 in GameMode menumode begin ",
    u"\"Hello, menumode {player} ; begin\"",
    u"MessageBox \"end SCN\"\r\n",
};

struct Edit {
  int32_t at;
  std::u16string removed;
  int32_t insertedLength;
};

// Forty random edits on a generated script of at least minLines lines, each
// followed by the comparison with a fresh editor.
void RunSequence(uint32_t seed, THighlighterChain& chain, size_t minLines = 20, bool varied = false) {
  std::mt19937 rng(seed);
  auto below = [&rng](int n) { return n <= 0 ? 0 : static_cast<int>(rng() % static_cast<uint32_t>(n)); };
  TPlusMemoU memo;
  test::ConfigureScriptEditor(memo, chain);
  const size_t lines = minLines + static_cast<size_t>(below(25));
  test::LoadText(
      memo, AnsiToWide(varied ? bench::GenerateVariedScript(lines, 300, seed) : bench::GenerateScript(lines, seed)));
  scan::HighlightAll(memo);
  std::vector<Edit> history;

  for (int step = 0; step < 40; ++step) {
    const int32_t length = memo.TextLength();
    const int kind = below(10);
    if (kind < 2 && !history.empty()) {
      // Reverse the most recent edit.
      const Edit e = history.back();
      history.pop_back();
      memo.ReplaceRange(e.at, e.at + e.insertedLength, e.removed);
    } else {
      int32_t start = below(length + 1);
      int32_t stop = start;
      if (kind >= 6) stop = std::min(length, start + 1 + below(kind == 9 ? 200 : 12));  // deleting, maybe across lines
      std::u16string text;
      if (kind < 8) text = kSnippets[below(static_cast<int>(std::size(kSnippets)))];
      // Keep the model of what was removed exact across a break cut in half.
      const std::u16string before = memo.Text();
      if (start > 0 && before[static_cast<size_t>(start) - 1] == u'\r') --start;
      if (stop > 0 && stop < length && before[static_cast<size_t>(stop) - 1] == u'\r') ++stop;
      const TReplaceResult r = memo.ReplaceRange(start, stop, text);
      history.push_back(Edit{start, before.substr(static_cast<size_t>(start), static_cast<size_t>(stop - start)),
                             stop - start + r.LengthDelta});
    }
    scan::HighlightAll(memo);
    const std::string where = "seed " + std::to_string(seed) + " step " + std::to_string(step);
    VerifyStore(memo.Paragraphs(), where);

    // The fresh side runs the plain passes: no speed layer on.
    TPlusMemoU fresh;
    test::ConfigureScriptEditor(fresh, chain);
    test::LoadText(fresh, memo.Text());
    scan::HighlightAll(fresh, scan::TSpeedLayers::AllOff());
    ASSERT_EQ(test::RunSignature(memo.Paragraphs()), test::RunSignature(fresh.Paragraphs())) << where;
  }
}

TEST(HighlightProperty, IncrementalEqualsFromScratch) {
  auto chain = test::MainChain();
  for (uint32_t seed = 1; seed <= 1000; ++seed) {
    RunSequence(seed, *chain);
    if (HasFatalFailure()) return;
  }
}

// Scripts whose lines rarely repeat: deep nesting, tabs, long lines, comments full of keywords.
TEST(HighlightProperty, IncrementalEqualsFromScratchOnVariedScripts) {
  auto chain = test::MainChain();
  for (uint32_t seed = 1; seed <= 200; ++seed) {
    RunSequence(seed, *chain, 20, true);
    if (HasFatalFailure()) return;
  }
}

// Scripts long enough for a catch-up to reuse the outcome of repeated lines,
// both in the fresh editor and after an edit that changes the rest of the text.
TEST(HighlightProperty, LongScriptsReuseRepeatedLinesExactly) {
  auto chain = test::MainChain();
  for (uint32_t seed = 1; seed <= 12; ++seed) {
    RunSequence(seed, *chain, scan::kRepeatedLinesMinParagraphs + 100);
    if (HasFatalFailure()) return;
  }
}

// The whole text done paragraph by paragraph (spans, then keywords, in one
// visit) gives what all spans first and then all keywords give.
TEST(HighlightProperty, OneVisitPerParagraphEqualsSpansFirst) {
  auto chain = test::MainChain();
  for (uint32_t seed = 1; seed <= 150; ++seed) {
    const std::u16string text = AnsiToWide(bench::GenerateScript(60, seed));
    TPlusMemoU a;
    TPlusMemoU b;
    for (TPlusMemoU* memo : {&a, &b}) {
      test::ConfigureScriptEditor(*memo, *chain);
      if (seed % 2 == 1) {
        // The editor's own lists alone (the chain's spans would mask its keywords).
        memo->SetHighlighter(nullptr);
        memo->StartStopKeys.AddStartStopKey(u"begin", u"end", kwoWholeWord, 0, 0, 0, -1, -1, false);
        memo->StartStopKeys.AddStartStopKey(u";", u"", 0, 0, 1, 0, -1, -1, true);
        memo->Keywords.AddKeyword(u"set", kwoWholeWord, 0, 7, 0, -1, -1);
        memo->Keywords.AddKeyword(u"Get", 0, 0, 8, 0, -1, -1);
      }
      test::LoadText(*memo, text);
    }
    scan::HighlightAll(a);
    scan::ParseUpTo(b, b.ParagraphCount() - 1);
    scan::ApplyKeywordsTo(b, 0, b.ParagraphCount() - 1);
    ASSERT_EQ(test::DumpAll(a.Paragraphs()), test::DumpAll(b.Paragraphs())) << "seed " << seed;
  }
}

}  // namespace
}  // namespace qm
