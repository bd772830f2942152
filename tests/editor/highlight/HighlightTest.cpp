// Highlighting on the main window's chain: comments, strings, blocks, headers, menu mode, words, numbers, nesting, priorities.
#include <gtest/gtest.h>

#include <random>

#include "HighlightUtil.h"
#include "editor/store/StoreCheck.h"

namespace qm {
namespace {

using test::Contexts;

class Highlight : public ::testing::Test {
 protected:
  void SetUp() override {
    chain = test::MainChain();
    test::ConfigureScriptEditor(memo, *chain);
  }
  void Load(std::u16string_view text) {
    test::LoadText(memo, text);
    scan::HighlightAll(memo);
  }
  // Context after each character of paragraph par, as a string of digits
  // per character: 0 plain, c comment or string or command (1), v variable (2),
  // b block type (3), f function (4), p parameter (5), B block (99), S header (88),
  // M menu mode (11), n number (3000), ? anything else.
  std::string Map(int par) {
    std::string out;
    for (int32_t c : Contexts(memo, par)) {
      switch (c) {
        case 0: out += '0'; break;
        case 1: out += 'c'; break;
        case 2: out += 'v'; break;
        case 3: out += 'b'; break;
        case 4: out += 'f'; break;
        case 5: out += 'p'; break;
        case 99: out += 'B'; break;
        case 88: out += 'S'; break;
        case 11: out += 'M'; break;
        case 3000: out += 'n'; break;
        default: out += '?';
      }
    }
    return out;
  }
  std::unique_ptr<THighlighterChain> chain;
  TPlusMemoU memo;
};

TEST_F(Highlight, CommentRunsToTheParagraphEndOnly) {
  Load(u"x = 1 ; note\r\nshort y");
  EXPECT_EQ(Map(0), "0000n0cccccc");
  EXPECT_EQ(Map(1), "vvvvv00");
  EXPECT_EQ(memo.Paragraphs().StartStyle(1).Kind, 0) << "the comment does not carry over";
}

TEST_F(Highlight, ClosingQuoteOpensNothing) {
  Load(u"MessageBox \"a\" x \"b\"");
  EXPECT_EQ(Map(0), "ffffffffff0ccc000ccc");
}

TEST_F(Highlight, CommentsAndStringsShieldTheirTextFromEveryOtherKey) {
  struct Case {
    std::u16string text;
    std::string before;  // contexts of paragraph 0 up to the comment or string
  };
  const Case cases[] = {
      {u"; variable to stop script from running in GameMode", ""},
      {u"set x to 5 ; set GameMode menumode 12 \"q\" SCN begin", "ccc000cc0n0"},
      {u"MessageBox \"Hello, menumode {player} ; begin\" x", "ffffffffff0"},
      {u"x \"GetStage 12 ScriptName\" y", "00"},
  };
  for (const Case& c : cases) {
    const std::string name = WideToUtf8(c.text);
    // The span opens where the contexts given end; a string closes at its second quote.
    const size_t at = c.before.size();
    const size_t end = c.text[at] == u';' ? c.text.size() : c.text.find(u'"', at + 1) + 1;
    Load(c.text + u"\r\nif x\r\nelseif y");
    const TParagraphsList& list = memo.Paragraphs();
    const std::string map = Map(0);
    EXPECT_EQ(map.substr(0, end), c.before + std::string(end - at, 'c')) << name;
    // One run opens the span and nothing inside it starts another.
    const int k = scan::FirstRun(list, 0, static_cast<int32_t>(at), false);
    ASSERT_LT(k, list.RunCount(0)) << name;
    EXPECT_EQ(list.Run(0, k).Offset, static_cast<int32_t>(at)) << name;
    EXPECT_TRUE(k + 1 == list.RunCount(0) || list.Run(0, k + 1).Offset >= static_cast<int32_t>(end))
        << name << "\n"
        << test::DumpRuns(list, 0);
    // Nothing inside it opened a span that goes on.
    EXPECT_EQ(list.StartStyle(1).Kind, 0) << name;
    EXPECT_EQ(Map(2), "cccccc00") << name;
  }
}

TEST_F(Highlight, BlocksStillHoldTheOtherListsWordsAndKeys) {
  Load(u"begin MenuMode 1012\r\n  set x to GetStage ; end player\r\n  MessageBox \"end\"\r\nend\r\nq");
  EXPECT_EQ(Map(0), "cccccBMMMMMMMMMMMMM");
  EXPECT_EQ(Map(1), "BBcccBBBccBffffffffBcccccccccccc");
  EXPECT_EQ(Map(2), "BBffffffffffBccccc");
  EXPECT_EQ(Map(4), "0") << "only the last end closes the block";
}

TEST_F(Highlight, BlocksSpanParagraphsAndTypingBeginHandsOnLazily) {
  Load(u"set a\r\nx\r\nEND\r\nw");
  EXPECT_EQ(Map(1), "0");
  memo.ReplaceRange(0, 0, u"BEGIN ");
  const TParagraphsList& list = memo.Paragraphs();
  EXPECT_FALSE(list.Flags(1) & pfSpansParsed) << "the next paragraph is marked, not parsed at once";
  EXPECT_EQ(list.StartStyle(1).ContextNum, 99);
  scan::HighlightAll(memo);
  EXPECT_EQ(Map(1), "B");
  EXPECT_EQ(Map(2), "ccc");  // END is also a command word, nested inside the block
  EXPECT_EQ(Map(3), "0");
  VerifyStore(list, "memo");
}

TEST_F(Highlight, HeaderSpansToTheEndOfTheText) {
  Load(u"scn Foo\r\nx\r\nbegin GameMode\r\nend\r\nq");
  EXPECT_EQ(Map(1), "S");
  EXPECT_EQ(Map(4), "S");
  EXPECT_EQ(memo.Paragraphs().StartStyle(4).KeyLevel(), 0);
  Load(u"ScriptName Bar\r\nq");
  EXPECT_EQ(Map(1), "S");
  Load(u"scnFoo\r\nq");
  EXPECT_EQ(Map(1), "0") << "not a whole word";
}

TEST_F(Highlight, MenuModeKeyAndBlockType) {
  Load(u"begin MenuMode 1012\r\nend\r\nmenumode x\r\nbegin GameMode");
  EXPECT_EQ(Map(0), "cccccBMMMMMMMMMMMMM");
  EXPECT_EQ(Map(2), "MMMMMMMMMM") << "the key opens at top level in any case; the block type needs its case";
  EXPECT_EQ(Map(3), "cccccBbbbbbbbb");
}

TEST_F(Highlight, WholeWordsAndSeparators) {
  Load(u"settle set(x) Activate.y MessageBoxes");
  EXPECT_EQ(Map(0), "0000000ccc0000ffffffff000000000000000");
}

TEST_F(Highlight, NumbersAndTheirSeparators) {
  Load(u"0x1F -5 12a 7 $FF 3.25");
  EXPECT_EQ(Map(0), "n00000n00000n00000n0nn");
  // More numbers than the pass collects at once, among keywords and before a string.
  std::u16string many;
  std::string expected;
  for (int i = 0; i < 20; ++i) {
    many += u"set 12 ";
    expected += "ccc0nn0";
  }
  Load(many + u"\"x 2\" 3");
  EXPECT_EQ(Map(0), expected + "ccccc0n");
  Load(u"; 12\r\n\" 34 \"");
  EXPECT_EQ(Map(0), "cccc") << "no numbers inside highlighted text by default";
  chain->Numbers->Priority = 1;
  scan::ResetHighlighting(memo);
  scan::HighlightAll(memo);
  EXPECT_EQ(Map(0), "ccnn");
  EXPECT_EQ(Map(1), "ccnncc");
  // A paragraph that begins inside a block colours the numbers after it ends.
  chain->Numbers->Priority = 0;
  Load(u"begin GameMode\r\n5 end 7\r\n6");
  EXPECT_EQ(Map(1), "BBccc0n");
  EXPECT_EQ(Map(2), "n");
}

TEST(HighlightNesting, SixteenKeysOpenTheSeventeenthDoesNot) {
  TExtHighlighterU h;
  h.SetSeparators(u" ");
  h.StartStopKeys.AddExtStartStopKey(u"(", u")", 0, 0, 7, 0, 32767, 0, -1, -1, false);
  TPlusMemoU memo;
  memo.SetHighlighter(&h);
  test::LoadText(memo, std::u16string(17, u'('));
  scan::HighlightAll(memo);
  const TParagraphsList& list = memo.Paragraphs();
  ASSERT_EQ(list.RunCount(0), 16);
  EXPECT_EQ(list.Run(0, 15).Level, 15);
  EXPECT_EQ(list.Run(0, 15).Offset, 15);
  EXPECT_EQ(scan::StyleAt(list, 0, 16, true).Level, 15) << "the seventeenth stays inside the sixteenth";
}

TEST_F(Highlight, OwnKeysBeatTheChainAndTheFirstHighlighterWins) {
  memo.StartStopKeys.AddStartStopKey(u"#", u"", 0, 0, 42, 0, -1, -1, true);
  Load(u"a ; b # c");
  EXPECT_EQ(Map(0), "000000???") << "the editor's own key wins though the chain's lies further left";
  Load(u"x MENUMODE ; y");
  EXPECT_EQ(Map(0), "00MMMMMMMM0ccc")
      << "a key of the first highlighter beats an earlier one of the third: MENUMODE is only a keyword here";
}

TEST_F(Highlight, EventsCanRefuseMatches) {
  int parses = 0;
  memo.OnParse = [&](TComponent*, int32_t a, int32_t b) {
    ++parses;
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 5);
  };
  Load(u"x = 1");
  EXPECT_EQ(parses, 1) << "a load parses the whole text";
  parses = 0;
  memo.OnParse = [&](TComponent*, int32_t a, int32_t b) {
    ++parses;
    EXPECT_EQ(a, 2);
    EXPECT_EQ(b, 5);
  };
  memo.ReplaceRange(2, 3, u"abc");
  EXPECT_EQ(parses, 1);
  memo.OnParse = nullptr;

  chain->U(2).OnKeyword = [](TComponent*, TPlusNavigatorU*, TPlusNavigatorU*, int, bool& accept) { accept = false; };
  chain->U(1).OnStart = [](TComponent*, TPlusNavigatorU* start, TPlusNavigatorU*, int index, bool& accept) {
    accept = !(index == 0 && start->Pos() == 3);  // refuse the first comment key only
  };
  Load(u"if ; a ; b");
  EXPECT_EQ(Map(0), "0000000ccc");
}

TEST_F(Highlight, QueryHilitDecidesPerRegion) {
  chain->Numbers->OnQueryHilit = [](TComponent*, int16_t scope, bool& doHilit) { doHilit = scope == 1; };
  Load(u"12 ; 34");
  EXPECT_EQ(Map(0), "000ccnn");
}

TEST(HighlightChain, DestroyedComponentsAreForgotten) {
  auto first = std::make_unique<TExtHighlighterU>();
  auto sub = std::make_unique<TExtHighlighterU>();
  first->SetSubHighlighter(sub.get());
  TPlusMemoU memo;
  memo.SetHighlighter(first.get());
  sub.reset();
  EXPECT_EQ(first->SubHighlighter(), nullptr);
  first.reset();
  EXPECT_EQ(memo.Highlighter(), nullptr);
  test::LoadText(memo, u"still ; works");
  scan::HighlightAll(memo);
  EXPECT_EQ(memo.Paragraphs().RunCount(0), 0);
}

TEST_F(Highlight, LongKeysDoNotOverflowTheLengthFields) {
  TExtHighlighterU h;
  h.SetSeparators(u" ");
  const std::u16string key(300, u'k');
  h.Keywords.AddExtKeyword(key, 2, 1, 9, 0, 32767, 0, -1, -1);
  TPlusMemoU memo2;
  memo2.SetHighlighter(&h);
  test::LoadText(memo2, u"a " + key + u" b");
  scan::HighlightAll(memo2);
  const TParagraphsList& list = memo2.Paragraphs();
  ASSERT_EQ(list.RunCount(0), 2);
  EXPECT_EQ(list.Run(0, 0).Offset, 2);
  EXPECT_EQ(list.Run(0, 0).OpenKeyLength, 255) << "the 8-bit length saturates";
  EXPECT_EQ(list.Run(0, 1).Offset, 302) << "the run still ends after the whole key";
}

}  // namespace
}  // namespace qm

namespace qm {
namespace {

// Spans of two kinds that nest across paragraphs: closing an inner one looks
// back, past the lines it spanned, for the style of the span around it. A
// long catch-up answers that from the levels it noted; the answer must be the
// one the plain look-back reads.
TEST(HighlightNesting, TheStyleOutsideANestedSpanIsFoundAsByReadingBack) {
  std::mt19937 rng(1212);
  const char16_t* const tokens[] = {u"(", u")", u"[", u"]", u"x", u" ", u"\r\n", u"\r\n\r\n"};
  std::u16string text;
  for (int i = 0; i < 9000; ++i) text += tokens[std::uniform_int_distribution<size_t>(0, std::size(tokens) - 1)(rng)];
  auto outcome = [&](const scan::TSpeedLayers& layers) {
    TExtHighlighterU h;
    h.SetSeparators(u" ");
    h.StartStopKeys.AddExtStartStopKey(u"(", u")", 0, 0, 7, 0, 32767, 0, -1, -1, false);
    h.StartStopKeys.AddExtStartStopKey(u"[", u"]", 0, 0, 8, 0, 255, 0, -1, -1, false);
    TPlusMemoU memo;
    memo.SetHighlighter(&h);
    test::LoadText(memo, text);
    scan::HighlightAll(memo, layers);
    return test::DumpAll(memo.Paragraphs());
  };
  scan::TSpeedLayers withoutIndex;
  withoutIndex.LevelIndex = false;
  const std::string plain = outcome(scan::TSpeedLayers::AllOff());
  EXPECT_EQ(outcome(scan::TSpeedLayers{}), plain);
  EXPECT_EQ(outcome(withoutIndex), plain);
}

}  // namespace
}  // namespace qm
