// A long catch-up reuses the outcome of repeated paragraphs: it must come out exactly as the passes would.
#include <gtest/gtest.h>

#include <span>

#include "HighlightUtil.h"
#include "bench/ScriptGenerator.h"
#include "bench/VariedScriptGenerator.h"
#include "editor/highlight/KeyOptions.h"
#include "editor/highlight/RepeatedLines.h"
#include "editor/store/Navigator.h"
#include "platform/CodePage.h"
#include "platform/LargeTable.h"

namespace qm {
namespace {

// Runs, start styles and highlighting flags of every paragraph.
std::string Outcome(const TParagraphsList& list) {
  std::string out = test::DumpAll(list);
  for (int p = 0; p < list.Count; ++p) out += std::to_string(list.Flags(p) & ~pfExtraInfo & ~pfOwnText) + " ";
  return out;
}

// The text highlighted with every speed layer on, and the repeated-lines
// table on or off.
std::string Highlighted(THighlighterChain& chain, const std::u16string& text, bool repeatedLines) {
  TPlusMemoU memo;
  test::ConfigureScriptEditor(memo, chain);
  test::LoadText(memo, text);
  scan::TSpeedLayers layers;
  layers.RepeatedLines = repeatedLines;
  scan::ApplyKeywordsTo(memo, 0, memo.Paragraphs().Count - 1, layers);
  return Outcome(memo.Paragraphs());
}

std::u16string Repeat(std::u16string_view line, int times) {
  std::u16string out;
  for (int i = 0; i < times; ++i) out += line;
  return out;
}

// Count lines, each different, of at least width units, coloured by a
// keyword, a number, a string and a comment.
std::u16string ManyDistinctLines(int count, size_t width) {
  std::u16string out;
  for (int i = 0; i < count; ++i) {
    std::u16string line = u"set v" + AnsiToWide(std::to_string(i)) + u" to 5 ; \"";
    line.resize(std::max(width, line.size()), u'n');
    out += line + u"\r\n";
  }
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
      {"script with few repeated lines", AnsiToWide(bench::GenerateVariedScript(5000, 300, 5))},
      // Lines that seldom repeat, then lines that often do: the table rests
      // over a long stretch of the first and is taken up again in the second.
      {"a table that rests and comes back",
       AnsiToWide(bench::GenerateVariedScript(10000, 300, 6) + bench::GenerateScript(70000, 6))},
      // The same lines inside a block, inside a string left open and outside.
      {"lines under different start styles",
       Repeat(
           u"  set a to 12 ; note\r\n  endif\r\n\"open\r\nbegin GameMode\r\n  set a to 12 ; note\r\n  endif\r\nend\r\n",
           400)},
      // The last paragraph equals the ones before it: a keyword at the very
      // end of the text keeps no restoring run after it.
      {"last line repeated", Repeat(u"set a to 1\r\n", 1500) + u"set a to 1"},
      {"spans across paragraphs", Repeat(u"begin GameMode\r\n\"x\r\nend ; done\r\n", 600)},
      // Start styles that differ in their closing key length alone (inside a
      // block: 3 after a keyword, 0 after a line of two strings, whose
      // second opening sets it to 0): lines met under one serve the other,
      // but for a line whose passes set the length of its own start.
      {"starts differing in their closing key length",
       Repeat(u"begin GameMode\r\n\"x\" \"y\"\r\nMessageBox \"a\" \"b\"\r\nset b to 2 ; c\r\nend\r\n"
              u"begin GameMode\r\nset a to 1\r\nset b to 2 ; c\r\nMessageBox \"a\" \"b\"\r\nend\r\n",
              200)},
      // A block closed and opened again on one line ("end begin"): the new
      // block's closing key length is its entry's, not the start style's,
      // though the two are equal (3) under one start and not (0, after a
      // line of two strings) under the other.
      {"a block closed and reopened on one line",
       u"scn A\r\nbegin GameMode\r\nend begin\r\n\"a\"\r\nend begin\r\n\"a\" \"b\"\r\nend begin\r\nend\r\n" +
           Repeat(u"\r\n", 1030)},
      // A line that closes a block takes the style in effect before it.
      {"blocks closing to the style before them",
       Repeat(u"scn A\r\nbegin GameMode\r\nend\r\nshort x\r\nbegin GameMode\r\nend\r\n", 300) +
           Repeat(u"begin GameMode\r\nend\r\n", 300)},
      // The same statements at every indentation, inside a block (whose open
      // key length the runs restoring it after a keyword carry) and outside.
      // Lines that differ in their digits, where the digits matter (inside
      // the keyword "Gold001", a word with letters, a hexadecimal number
      // with its letters) and where they do not.
      {"lines that differ in their digits",
       Repeat(u"begin GameMode\r\nset a to 12\r\nset a to 47\r\nset a to -3 * 4\r\nset a to -8 * 1\r\n"
              u"if a > 1.5\r\nif a > 2.75\r\nplayer.AddItem Gold001 5\r\nplayer.AddItem Gold002 7\r\n"
              u"set x1 to 1\r\nset x2 to 2\r\nset a to $1F\r\nset a to $2A\r\nset a to 3a\r\nset a to 4a\r\n"
              u"set a to x-1\r\nset a to x-2\r\nset a to (5)\r\nset a to [6]\r\n; 5 apples\r\n; 6 apples\r\n"
              u"MessageBox \"5\"\r\nMessageBox \"6\r\nend\r\n",
              300)},
      // Lines that differ in the case of their letters, where it matters (the
      // number highlighter takes "x" for a separator, "X" not) and where not.
      {"lines that differ in case",
       Repeat(u"set a to 0x5\r\nset a to 0X5\r\nshort ax\r\nshort aX\r\n"
              u"Begin GameMode\r\nIf a > 1\r\nif A > 1\r\nIF a > 1\r\nSetStage q 10\r\nsetstage Q 10\r\n"
              u"set a to 0x5\r\nset a to 0X5\r\nset a to $1f\r\nset a to $1F\r\n; Note\r\n; NOTE\r\n"
              u"MessageBox \"Hi\"\r\nmessagebox \"HI\"\r\nEND\r\nbegin gamemode\r\nend\r\n",
              300)},
      // More distinct lines than the table keeps, each coming back later:
      // those it has no room for run the passes every time.
      {"more distinct lines than the table keeps", ManyDistinctLines(3000, 20) + ManyDistinctLines(3000, 20)},
      {"long distinct lines", ManyDistinctLines(2500, 240) + ManyDistinctLines(2500, 240)},
      // Around the longest line kept, and a line of more runs than are kept.
      {"long lines", Repeat(u"set a to \"" + std::u16string(244, u'x') + u"\"\r\n" + u"set a to \"" +
                                std::u16string(245, u'x') + u"\"\r\n" + Repeat(u"\"s\" ", 40) + u"\r\n",
                            400)},
      {"indented lines", Repeat(u"begin GameMode\r\nif x\r\n if x\r\n  if x\r\n\t\tif x ; y\r\n      set a to 12\r\n"
                                u"set a to 12\r\n   \r\n\r\nend\r\n  if x\r\nif x\r\n    \"s\r\n\"s\r\n",
                                300)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Highlighted(*chain, c.text, true), Highlighted(*chain, c.text, false)) << c.name;
  }
}

// A line that closes a span begun on a line before it takes the style in
// effect before that span: the same closing line under the same start style
// hands on a style whose closing key length is 3 (before the line of two
// strings) or 0 (after it).
TEST(RepeatedLinesTest, ALineClosingASpanTakesTheStyleBeforeIt) {
  auto chain = test::MainChain();
  chain->First()->AsExtHighlighter()->StartStopKeys.AddExtStartStopKey(u"{", u"}", 0, 0, 5, 0, 32767, 0, -1, -1, false);
  const std::u16string text =
      Repeat(u"begin GameMode\r\nset a to 1\r\n{ x\r\n}\r\nMessageBox \"a\" \"b\"\r\n{ x\r\n}\r\nend\r\n", 300);
  const std::string passes = Highlighted(*chain, text, false);
  EXPECT_EQ(Highlighted(*chain, text, true), passes);
  // A second catch-up over a text whose first lines were highlighted by the
  // first, which stopped inside a span.
  TPlusMemoU memo;
  test::ConfigureScriptEditor(memo, *chain);
  test::LoadText(memo, text);
  scan::ApplyKeywordsTo(memo, 0, 1205);
  scan::ApplyKeywordsTo(memo, 0, memo.Paragraphs().Count - 1);
  EXPECT_EQ(Outcome(memo.Paragraphs()), passes);
}

// Two lines, and whether the table's key reads them alike.
struct LinePair {
  std::u16string_view a, b;
  bool alike;
};

void ExpectReadAlike(scan::TRepeatedLines& repeats, std::span<const LinePair> pairs) {
  const TDynInfo style;
  for (const LinePair& pair : pairs) {
    const auto a = repeats.KeyOf(style, 0, false, pair.a);
    const std::u16string aText(a.Text);
    const auto b = repeats.KeyOf(style, 0, false, pair.b);
    EXPECT_EQ(aText == b.Text && a.Hash == b.Hash, pair.alike) << WideToUtf8(pair.a) << " / " << WideToUtf8(pair.b);
  }
}

// A change to the main window's chain, and whether a way of reading is allowed after it.
struct ListChange {
  const char* name;
  void (*change)(TPlusMemoU& memo, TCustomExtHighlighterU& first);
  bool allowed;
};

template <typename Allows>
void ExpectAllowed(std::span<const ListChange> changes, Allows allows) {
  for (const ListChange& c : changes) {
    auto chain = test::MainChain();
    TPlusMemoU memo;
    test::ConfigureScriptEditor(memo, *chain);
    c.change(memo, *chain->First()->AsExtHighlighter());
    EXPECT_EQ(allows(memo), c.allowed) << c.name;
  }
}

// Indented lines share one outcome only where the lists treat leading blanks
// as nothing but separators.
TEST(RepeatedLinesTest, IndentIsLeftOutOnlyWhereItCannotMatter) {
  const ListChange changes[] = {
      {"the main window's chain", [](TPlusMemoU&, TCustomExtHighlighterU&) {}, true},
      {"a start key beginning with a blank",
       [](TPlusMemoU& memo, TCustomExtHighlighterU&) {
         memo.StartStopKeys.AddStartStopKey(u" rem", u"", 0, 0, 0, 0, -1, -1, true);
       },
       false},
      {"a keyword beginning with a tab",
       [](TPlusMemoU&, TCustomExtHighlighterU& h) { h.Keywords.AddKeyword(u"\tx", 0, 0, 5, 0, -1, -1); }, false},
      {"a tab that does not separate",
       [](TPlusMemoU& memo, TCustomExtHighlighterU&) {
         memo.SetSeparators(TCharSet(u" ;"));
         memo.StartStopKeys.AddStartStopKey(u"rem", u"", kwoWholeWord, 0, 0, 0, -1, -1, true);
       },
       false},
      {"a span that ends at the first separator",
       [](TPlusMemoU&, TCustomExtHighlighterU& h) {
         h.StartStopKeys.AddExtStartStopKey(u"@", u"", 0, 0, 7, 32767, 0, 0, -1, -1, false);
       },
       false},
      {"a letter that separates in one case only",
       [](TPlusMemoU&, TCustomExtHighlighterU& h) { h.SetSeparators(u" x"); }, false},
  };
  ExpectAllowed(changes, [](TPlusMemoU& memo) { return scan::TRepeatedLines::IgnoresIndent(memo); });
}

// The table reads the digits of two lines alike only where no pass can tell them apart.
TEST(RepeatedLinesTest, DigitsAreReadAlikeOnlyWhereTheyCannotMatter) {
  auto chain = test::MainChain();
  TPlusMemoU memo;
  test::ConfigureScriptEditor(memo, *chain);
  chain->First()->AsExtHighlighter()->Keywords.AddKeyword(u"SetActor2", 0, 0, 5, 0, -1, -1);
  const auto digits = scan::TRepeatedLines::DigitClasses(memo);
  ASSERT_TRUE(digits.has_value());
  scan::TRepeatedLines repeats({true, digits, std::nullopt});
  const LinePair pairs[] = {
      {u"set a to 12", u"set a to 47", true},
      {u"  set a to -3*4", u"set a to -9*0", true},
      {u"if a > 1.5", u"if a > 2.75", false},  // of other lengths
      {u"if a > 1.5", u"if a > 2.7", true},
      {u"set a to (5)", u"set a to (6)", true},
      {u"MessageBox \"5\"", u"MessageBox \"6\"", true},
      {u"12", u"34", true},
      {u"AddItem Gold001", u"AddItem Gold002", false},  // a keyword holds the digits
      {u"SetActor2", u"SetActor3", false},
      {u"set x1 to 1", u"set x2 to 1", false},  // a word with letters
      {u"set a to $1F", u"set a to $2F", false},
      {u"set a to 3a", u"set a to 4a", false},
      {u"set a to x-1", u"set a to x-2", false},
      {u"set a to 1", u"set b to 1", false},
  };
  ExpectReadAlike(repeats, pairs);
}

TEST(RepeatedLinesTest, DigitClassesOnlyWhereNoListCanTellDigitsApart) {
  const ListChange changes[] = {
      {"the main window's chain", [](TPlusMemoU&, TCustomExtHighlighterU&) {}, true},
      {"keywords with digits beside letters",
       [](TPlusMemoU&, TCustomExtHighlighterU& h) {
         h.Keywords.AddKeyword(u"SetActor2", 0, 0, 5, 0, -1, -1);
         h.Keywords.AddKeyword(u"x-1", 0, 0, 5, 0, -1, -1);
         h.Keywords.AddKeyword(u"a.b2", 0, 0, 5, 0, -1, -1);
       },
       true},
      {"a keyword of digits",
       [](TPlusMemoU&, TCustomExtHighlighterU& h) { h.Keywords.AddKeyword(u"100", 0, 0, 5, 0, -1, -1); }, false},
      {"a keyword with a number after a separator",
       [](TPlusMemoU&, TCustomExtHighlighterU& h) { h.Keywords.AddKeyword(u"GetAV 5", 0, 0, 5, 0, -1, -1); }, false},
      {"a keyword of a sign and digits",
       [](TPlusMemoU&, TCustomExtHighlighterU& h) { h.Keywords.AddKeyword(u"-1", 0, 0, 5, 0, -1, -1); }, false},
      {"a start key with a digit",
       [](TPlusMemoU& memo, TCustomExtHighlighterU&) {
         memo.StartStopKeys.AddStartStopKey(u"rem1", u"", 0, 0, 0, 0, -1, -1, true);
       },
       false},
      {"a digit that separates", [](TPlusMemoU&, TCustomExtHighlighterU& h) { h.SetSeparators(u" 0"); }, false},
      {"case folded by the program",
       [](TPlusMemoU&, TCustomExtHighlighterU& h) { h.Keywords.SetUpperCaseType(pmuUserDefined); }, false},
  };
  ExpectAllowed(changes, [](TPlusMemoU& memo) { return scan::TRepeatedLines::DigitClasses(memo).has_value(); });
}

// The table reads letters in one case only where no pass can tell the cases apart.
TEST(RepeatedLinesTest, LettersAreReadInOneCaseOnlyWhereTheCaseCannotMatter) {
  auto chain = test::MainChain();
  TPlusMemoU memo;
  test::ConfigureScriptEditor(memo, *chain);
  scan::TRepeatedLines repeats(scan::TRepeatedLines::TReading::For(memo));
  const LinePair pairs[] = {
      {u"If a > 1", u"if A > 1", true},
      {u"AddItem Gold001 2", u"additem GOLD001 7", true},
      {u"; Note", u"; NOTE", true},
      {u"set a to $1f", u"set a to $1F", true},
      // The number highlighter separates at "x" but not at "X".
      {u"set a to 0x5", u"set a to 0X5", false},
      {u"set ax to 1", u"set aX to 1", false},
      {u"set a to 1", u"set b to 1", false},
  };
  ExpectReadAlike(repeats, pairs);
}

TEST(RepeatedLinesTest, LetterCasesOnlyWhereNoListMatchesCase) {
  const ListChange changes[] = {
      {"the main window's chain", [](TPlusMemoU&, TCustomExtHighlighterU&) {}, true},
      {"a keyword that matches case",
       [](TPlusMemoU&, TCustomExtHighlighterU& h) { h.Keywords.AddKeyword(u"Exact", kwoMatchCase, 0, 5, 0, -1, -1); },
       false},
      {"a start key that matches case",
       [](TPlusMemoU& memo, TCustomExtHighlighterU&) {
         memo.StartStopKeys.AddStartStopKey(u"REM", u"", kwoMatchCase, 0, 0, 0, -1, -1, true);
       },
       false},
      {"case folded by the program",
       [](TPlusMemoU&, TCustomExtHighlighterU& h) { h.StartStopKeys.SetUpperCaseType(pmuUserDefined); }, false},
  };
  ExpectAllowed(changes, [](TPlusMemoU& memo) { return scan::TRepeatedLines::LetterCases(memo).has_value(); });
}

// The catch-up makes the next paragraph's key, and may make it again, while
// the current one is still in use.
TEST(RepeatedLinesTest, AKeyKeepsItsTextWhileTheNextTwoAreMade) {
  auto chain = test::MainChain();
  TPlusMemoU memo;
  test::ConfigureScriptEditor(memo, *chain);
  scan::TRepeatedLines repeats(scan::TRepeatedLines::TReading::For(memo));
  const TDynInfo style;
  const auto first = repeats.KeyOf(style, 0, false, u"set a to 12");
  const auto second = repeats.KeyOf(style, 0, false, u"set b to 345");
  const auto third = repeats.KeyOf(style, 0, false, u"set c to 6789");
  EXPECT_EQ(first.Text, u"SET A TO 00");
  EXPECT_EQ(second.Text, u"SET B TO 000");
  EXPECT_EQ(third.Text, u"SET C TO 0000");
}

// Without memory for the table a long catch-up runs the plain passes.
TEST(RepeatedLinesTest, NoMemoryForTheTableLeavesThePlainPasses) {
  auto chain = test::MainChain();
  const std::u16string text = Repeat(u"begin GameMode\r\n  set a to 12 ; note\r\nend\r\n", 600);
  const std::string passes = Highlighted(*chain, text, false);
  SetLargeTableLimit(0);
  std::string reused;
  EXPECT_NO_THROW(reused = Highlighted(*chain, text, true));
  SetLargeTableLimit(SIZE_MAX);
  EXPECT_EQ(reused, passes);
}

// A table with no room left keeps what it holds and finds no other outcome
// than the one kept for a key; the table of a short catch-up and the store
// for lines of the longest length kept both fill.
TEST(RepeatedLinesTest, AFullTableKeepsTheOutcomesItHolds) {
  for (const size_t width : {size_t{10}, scan::TRepeatedLines::kMaxLength}) {
    scan::TRepeatedLines repeats(scan::TRepeatedLines::TReading{});
    const TDynInfo style;
    std::vector<std::u16string> texts;
    for (int i = 0; i < 5000; ++i) {
      texts.push_back(AnsiToWide(std::to_string(i)));
      texts.back().resize(width, u'.');
    }
    for (uint32_t i = 0; i < texts.size(); ++i) {
      const TRunRec run{0, i};
      repeats.Remember(repeats.KeyOf(style, 0, false, texts[i]), {&run, 1, false, i});
    }
    size_t kept = 0;
    for (uint32_t i = 0; i < texts.size(); ++i) {
      scan::TRepeatedLines::Outcome found{};
      if (!repeats.Find(repeats.KeyOf(style, 0, false, texts[i]), found)) continue;
      EXPECT_EQ(kept, i) << "kept after one that was not, at width " << width;
      ++kept;
      ASSERT_EQ(found.Count, 1u);
      EXPECT_EQ(found.Runs[0].Attr, i);
      EXPECT_EQ(found.SpanEnd, i);
    }
    EXPECT_GT(kept, 1000u) << width;
    EXPECT_LT(kept, texts.size()) << width;
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
