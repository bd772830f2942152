// A long catch-up reuses the outcome of repeated paragraphs: it must come out exactly as the passes would.
#include <gtest/gtest.h>

#include "HighlightUtil.h"
#include "bench/ScriptGenerator.h"
#include "editor/KeyOptions.h"
#include "editor/Navigator.h"
#include "editor/ParagraphMemo.h"

namespace qm {
namespace {

// Runs, start styles and highlighting flags of every paragraph.
std::string Outcome(const TParagraphsList& list) {
  std::string out = test::DumpAll(list);
  for (int p = 0; p < list.Count; ++p) out += std::to_string(list.Flags(p) & ~pfExtraInfo & ~pfOwnText) + " ";
  return out;
}

std::string Highlighted(THighlighterChain& chain, const std::u16string& text, bool reuseRepeats) {
  TPlusMemoU memo;
  test::ConfigureScriptEditor(memo, chain);
  test::LoadText(memo, text);
  scan::ApplyKeywordsTo(memo, 0, memo.Paragraphs().Count - 1, reuseRepeats);
  return Outcome(memo.Paragraphs());
}

std::u16string Repeat(std::u16string_view line, int times) {
  std::u16string out;
  for (int i = 0; i < times; ++i) out += line;
  return out;
}

TEST(RepeatedLinesTest, ReuseGivesWhatThePassesGive) {
  auto chain = test::MainChain();
  struct Case {
    const char* name;
    std::u16string text;
  };
  const Case cases[] = {
      {"generated script", AnsiToWide(bench::GenerateScript(3000, 7))},
      {"another generated script", AnsiToWide(bench::GenerateScript(5000, 11))},
      // The same lines inside a block, inside a string left open and outside.
      {"lines under different start styles",
       Repeat(u"  set a to 12 ; note\r\n  endif\r\n\"open\r\nbegin GameMode\r\n  set a to 12 ; note\r\n  endif\r\nend\r\n",
              400)},
      // The last paragraph equals the ones before it: a keyword at the very
      // end of the text keeps no restoring run after it.
      {"last line repeated", Repeat(u"set a to 1\r\n", 1500) + u"set a to 1"},
      {"spans across paragraphs", Repeat(u"begin GameMode\r\n\"x\r\nend ; done\r\n", 600)},
      // The same statements at every indentation, inside a block (whose open
      // key length the runs restoring it after a keyword carry) and outside.
      {"indented lines",
       Repeat(u"begin GameMode\r\nif x\r\n if x\r\n  if x\r\n\t\tif x ; y\r\n      set a to 12\r\n"
              u"set a to 12\r\n   \r\n\r\nend\r\n  if x\r\nif x\r\n    \"s\r\n\"s\r\n",
              300)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Highlighted(*chain, c.text, true), Highlighted(*chain, c.text, false)) << c.name;
  }
}

// Indented lines share one outcome only where the lists treat leading blanks
// as nothing but separators.
TEST(RepeatedLinesTest, IndentIsLeftOutOnlyWhereItCannotMatter) {
  struct Case {
    const char* name;
    void (*change)(TPlusMemoU& memo, THighlighterChain& chain);
    bool ignores;
  };
  const Case cases[] = {
      {"the main window's chain", [](TPlusMemoU&, THighlighterChain&) {}, true},
      {"a start key beginning with a blank",
       [](TPlusMemoU& memo, THighlighterChain&) {
         memo.StartStopKeys.AddStartStopKey(u" rem", u"", 0, 0, 0, 0, -1, -1, true);
       },
       false},
      {"a keyword beginning with a tab",
       [](TPlusMemoU&, THighlighterChain& chain) {
         chain.First()->AsExtHighlighter()->Keywords.AddKeyword(u"\tx", 0, 0, 5, 0, -1, -1);
       },
       false},
      {"a tab that does not separate",
       [](TPlusMemoU& memo, THighlighterChain&) {
         memo.SetSeparators(TCharSet(u" ;"));
         memo.StartStopKeys.AddStartStopKey(u"rem", u"", kwoWholeWord, 0, 0, 0, -1, -1, true);
       },
       false},
      {"a span that ends at the first separator",
       [](TPlusMemoU&, THighlighterChain& chain) {
         TCustomExtHighlighterU& first = *chain.First()->AsExtHighlighter();
         first.StartStopKeys.AddExtStartStopKey(u"@", u"", 0, 0, 7, 32767, 0, 0, -1, -1, false);
       },
       false},
      {"a letter that separates in one case only",
       [](TPlusMemoU&, THighlighterChain& chain) { chain.First()->AsExtHighlighter()->SetSeparators(u" x"); },
       false},
  };
  for (const Case& c : cases) {
    auto chain = test::MainChain();
    TPlusMemoU memo;
    test::ConfigureScriptEditor(memo, *chain);
    c.change(memo, *chain);
    EXPECT_EQ(scan::TParagraphMemo::IgnoresIndent(memo), c.ignores) << c.name;
  }
}

// A handler that judges a keyword by the paragraph it stands in sees every
// paragraph: with a handler on the chain nothing is reused.
TEST(RepeatedLinesTest, HandlersSeeEveryParagraph) {
  auto chain = test::MainChain();
  TCustomExtHighlighterU* types = chain->First()->AsExtHighlighter();
  ASSERT_NE(types, nullptr);
  TPlusMemoU memo;
  test::ConfigureScriptEditor(memo, *chain);
  types->OnKeyword = [&memo](TComponent*, TPlusNavigatorU* start, TPlusNavigatorU*, int, bool& accept) {
    accept = memo.Paragraphs().ParagraphOfPosition(start->Pos()) % 2 == 0;
  };
  test::LoadText(memo, Repeat(u"short counter\r\n", 2000));
  scan::HighlightAll(memo);
  const TParagraphsList& list = memo.Paragraphs();
  // "short" is a keyword of the first highlighter: coloured on even lines only.
  EXPECT_NE(test::DumpRuns(list, 0), test::DumpRuns(list, 1));
  EXPECT_EQ(test::DumpRuns(list, 1000), test::DumpRuns(list, 0));
  EXPECT_EQ(test::DumpRuns(list, 1001), test::DumpRuns(list, 1));
}

}  // namespace
}  // namespace qm
