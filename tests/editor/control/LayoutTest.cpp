// Tests of the layout engine: wrapping, tabs, format codes, justification, alignment, pixel queries and formatting slices.
#include "editor/control/Layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "editor/control/PlusMemoU.h"
#include "editor/highlight/ExtHilitU.h"
#include "editor/highlight/Scan.h"
#include "editor/store/Navigator.h"
#include "editor/store/StoreCheck.h"
#include "platform/Exceptions.h"

namespace qm {
namespace {

// Fixed pitch that still tells fonts apart: 8 pixels a character, 10 in
// bold, 12 in the alternate font (named "Alt" here).
// It also keeps the longest text it was asked to measure.
class TStyledMeasurer : public TFixedPitchMeasurer {
 public:
  TStyledMeasurer() : TFixedPitchMeasurer(8, 16, 12) {}
  int TextWidth(const TFontSpec& font, std::u16string_view text) override {
    longest = std::max(longest, text.size());
    const int each = font.Name == u"Alt" ? 12 : (font.Style & fsBold) ? 10 : 8;
    return static_cast<int>(text.size()) * each;
  }
  size_t longest = 0;
};

class Layout : public ::testing::Test {
 protected:
  TPlusMemoU memo;
  TStyledMeasurer measurer;
  TLayoutEngine engine{memo, measurer};
  TParagraphsList& list = memo.Paragraphs();

  void SetUp() override {
    engine.Settings.LeftMargin = 0;
    engine.Settings.RightMargin = 0;
    engine.Settings.AltFont.Name = u"Alt";
  }
  // A wrap width of n characters of 8 pixels.
  void Columns(int n) { engine.Settings.ClientWidth = n * 8; }
  void Load(std::u16string_view text) {
    test::LoadText(memo, text);
    engine.InvalidateAll();
    engine.LayOutAll();
    VerifyStore(list, "after layout");
  }
  // "start-stop/measuredTo:width" of each display line of paragraph par.
  std::string Lines(int par) {
    std::string out;
    for (int l = 0; l < list.LineCountOf(par); ++l) {
      const TLineInfo i = list.LineInfo(par, l);
      if (l > 0) out += " | ";
      out += std::to_string(i.LineStart) + "-" + std::to_string(i.LineStop) + "/" + std::to_string(i.MeasuredTo) + ":" +
             std::to_string(i.LineWidth);
    }
    return out;
  }
  // Client x of every offset 0 … stop of paragraph 0 as a navigator there reads it.
  std::vector<int> Xs(int32_t stop) {
    std::vector<int> out;
    TPlusNavigatorU nav(&memo);
    for (int32_t o = 0; o <= stop; ++o) {
      nav.SetPos(o);
      out.push_back(engine.PosX(nav));
    }
    return out;
  }
};

TEST_F(Layout, WrapsGreedilyWordByWord) {
  struct Case {
    const char* text;
    bool wordWrap;
    int columnWrap;
    int columns;
    const char* lines;
  };
  const Case cases[] = {
      {"hello world", true, 0, 8, "0-6/5:40 | 6-11/11:40"},
      {"hello world", true, 0, 5, "0-6/5:40 | 6-11/11:40"},
      {"hello world", true, 0, 11, "0-11/11:88"},
      {"a b c d e f", true, 0, 3, "0-4/3:24 | 4-8/7:24 | 8-11/11:24"},
      {"abcdefghij", true, 0, 4, "0-4/4:32 | 4-8/8:32 | 8-10/10:16"},
      // The too-wide word first moves to a line of its own, then is broken there.
      {"ab abcdefghij", true, 0, 4, "0-3/2:16 | 3-7/7:32 | 7-11/11:32 | 11-13/13:16"},
      // Indentation keeps its word: the word is broken after it.
      {"  indented", true, 0, 6, "0-6/6:48 | 6-10/10:32"},
      // Spaces before a wrapped word hang at the line end, outside its width.
      {"a   b", true, 0, 2, "0-4/1:8 | 4-5/5:8"},
      // Spaces that end the paragraph stay on its last line.
      {"word   ", true, 0, 4, "0-7/7:56"},
      {"", true, 0, 4, "0-0/0:0"},
      {"hello wide world", false, 0, 4, "0-16/16:128"},
      {"hello wide world", false, 3, 4, "0-16/16:128"},
      {"hello wide world", true, 6, 100, "0-6/5:40 | 6-11/10:32 | 11-16/16:40"},
      {"hello wide world", true, -90, 4, "0-11/10:80 | 11-16/16:40"},
  };
  for (const Case& c : cases) {
    engine.Settings.WordWrap = c.wordWrap;
    engine.Settings.ColumnWrap = c.columnWrap;
    Columns(c.columns);
    Load(test::U(c.text));
    EXPECT_EQ(Lines(0), c.lines) << c.text << " at " << c.columns << " columns, ColumnWrap " << c.columnWrap;
  }
}

TEST_F(Layout, WrapWidthFollowsTheSettings) {
  engine.Settings.ClientWidth = 100;
  engine.Settings.LeftMargin = 6;
  engine.Settings.RightMargin = 12;
  EXPECT_EQ(engine.WrapWidth(), 82);
  engine.Settings.ColumnWrap = 10;
  EXPECT_EQ(engine.WrapWidth(), 80) << "ten average character widths";
  engine.Settings.ColumnWrap = -50;
  EXPECT_EQ(engine.WrapWidth(), 50);
  engine.Settings.ColumnWrap = 0;
  engine.Settings.ClientWidth = 10;
  EXPECT_EQ(engine.WrapWidth(), 1) << "never below one pixel";
  engine.Settings.WordWrap = false;
  EXPECT_EQ(engine.WrapWidth(), INT32_MAX - 12);
  EXPECT_TRUE(engine.HorizontalScrolling());
  engine.Settings.Alignment = taCenter;
  EXPECT_EQ(engine.WrapWidth(), 1) << "centred text wraps at the client width even without word wrap";
  EXPECT_FALSE(engine.HorizontalScrolling());
}

TEST_F(Layout, TabsAdvanceToTheNextStop) {
  struct Case {
    int tabStops;
    std::vector<int> xs;  // offsets 0 … 5 of "a\tb\tc"
    std::vector<int> widths;
  };
  const Case cases[] = {
      {4, {0, 8, 32, 40, 64, 72}, {8, 24, 8, 24, 8, 0}},
      {1, {0, 8, 16, 24, 32, 40}, {8, 8, 8, 8, 8, 0}},
      {-20, {0, 8, 20, 28, 40, 48}, {8, 12, 8, 12, 8, 0}},
      {0, {0, 8, 8, 16, 16, 24}, {8, 0, 8, 0, 8, 0}},
  };
  engine.Settings.WordWrap = false;
  for (const Case& c : cases) {
    engine.Settings.TabStops = c.tabStops;
    Load(u"a\tb\tc");
    EXPECT_EQ(Xs(5), c.xs) << "TabStops " << c.tabStops;
    EXPECT_EQ(list.LineInfo(0, 0).LineWidth, c.xs.back());
    TPlusNavigatorU nav(&memo);
    std::vector<int> widths;
    for (int32_t o = 0; o <= 5; ++o) {
      nav.SetPos(o);
      widths.push_back(engine.CharWidth(nav));
    }
    EXPECT_EQ(widths, c.widths) << "TabStops " << c.tabStops;
  }
}

TEST_F(Layout, FormatCodesTakeNoWidthAndSetTheLineStartStyle) {
  memo.SetStaticFormat(true);
  engine.Settings.StaticFormat = true;
  engine.Settings.TabStops = 4;
  Load(
      u"a\tb\x02"
      u"c\x02"
      u"d");
  EXPECT_EQ(Xs(7), (std::vector<int>{0, 8, 32, 40, 40, 50, 50, 58})) << "bold c is 10 wide, the codes nothing";
  TPlusNavigatorU nav(&memo);
  std::vector<int> widths;
  for (int32_t o = 0; o <= 7; ++o) {
    nav.SetPos(o);
    widths.push_back(engine.CharWidth(nav));
  }
  EXPECT_EQ(widths, (std::vector<int>{8, 24, 8, 0, 10, 0, 8, 0}));

  Columns(3);
  Load(
      u"\x02"
      u"aa bb\x02 cc\r\nx\x02y\r\nzz");
  EXPECT_EQ(Lines(0), "0-4/3:20 | 4-8/6:20 | 8-10/10:16");
  EXPECT_EQ(list.LineInfo(0, 0).StartStyle, 0);
  EXPECT_EQ(list.LineInfo(0, 1).StartStyle, fsBold);
  EXPECT_EQ(list.LineInfo(0, 2).StartStyle, 0);
  EXPECT_EQ(list.LineInfo(2, 0).StartStyle, fsBold) << "the state carried into the paragraph is kept";
  EXPECT_EQ(list.LineInfo(2, 0).LineWidth, 20);
}

TEST_F(Layout, AttributeRunsReplaceTheCodeStyle) {
  memo.SetStaticFormat(true);
  engine.Settings.StaticFormat = true;
  engine.Settings.WordWrap = false;
  Load(
      u"\x01"
      u"abcd");
  TDynInfo alt;
  alt.Offset = 2;
  alt.Kind = dkHighlight | fsAltFont;
  TDynInfo plain;
  plain.Offset = 4;
  list.InsertRun(0, 0, alt);
  list.InsertRun(0, 1, plain);
  engine.LayOut(0);
  EXPECT_EQ(list.LineInfo(0, 0).LineWidth, 8 + 12 + 12 + 8);
  struct Piece {
    int32_t from, to;
    int64_t x;
    uint8_t bits;
    int run;
    bool operator==(const Piece&) const = default;
  };
  std::vector<Piece> pieces;
  for (const TLinePiece& p : engine.LinePieces(0, 0)) pieces.push_back({p.From, p.To, p.X, p.StyleBits, p.Run});
  const std::vector<Piece> expected = {
      {0, 1, 0, 0, -1}, {1, 2, 0, fsItalic, -1}, {2, 4, 8, fsAltFont, 0}, {4, 5, 32, fsItalic, 1}};
  EXPECT_EQ(pieces, expected);
}

TEST_F(Layout, JustifiedLinesSpreadTheFreeWidthOverTheirSpaces) {
  struct Case {
    const char* text;
    int wrap;
    std::vector<int> xs;  // offsets 0 … stop of line 0
  };
  const Case cases[] = {
      // free 19 over 2 spaces: 9 each and the remaining pixel to the second.
      {"aa bb cc dd", 83, {0, 8, 16, 33, 41, 49, 67, 75, 83, 91}},
      // free 13 over 3: 4, 4, 5.
      {"a b c d e", 69, {0, 8, 20, 28, 40, 48, 61, 69, 77}},
      // free 7 over 4: the accumulator starts at 1, so 2, 1, 2, 2.
      {"a b c d e f", 79, {0, 8, 18, 26, 35, 43, 53, 61, 71, 79, 87}},
      // Spaces before the tab do not stretch.
      {"x\ty z w", 60, {0, 8, 32, 40, 52, 60, 68}},
  };
  engine.Settings.Justified = true;
  engine.Settings.TabStops = 4;
  for (const Case& c : cases) {
    engine.Settings.ColumnWrap = -c.wrap;
    Load(test::U(c.text));
    const int32_t stop = list.LineInfo(0, 0).LineStop;
    std::vector<int> xs;
    for (int32_t o = 0; o <= stop; ++o) xs.push_back(static_cast<int>(engine.OffsetX(0, 0, o)));
    EXPECT_EQ(xs, c.xs) << c.text;
    EXPECT_EQ(list.LineInfo(0, 0).MeasuredTo, stop - 1);
    TPlusNavigatorU nav(&memo);
    for (int32_t o = 0; o < stop; ++o) {
      nav.SetPos(o);
      EXPECT_EQ(engine.CharWidth(nav), c.xs[static_cast<size_t>(o) + 1] - c.xs[static_cast<size_t>(o)])
          << c.text << " @" << o;
    }
    const TLineInfo last = list.LineInfo(0, list.LineCountOf(0) - 1);
    EXPECT_EQ(last.StretchSpaces, 0) << "the last line is not stretched";
  }
  EXPECT_EQ(list.LineInfo(0, 0).StretchFrom, 2);
  EXPECT_EQ(list.LineInfo(0, 0).StretchSpaces, 1);
}

TEST_F(Layout, RightAndCentredLinesAreOffset) {
  struct Case {
    TAlignment alignment;
    bool wordWrap;
    bool justified;
    const char* text;
    std::vector<int> origins;  // client x of offset LineStart of each line
  };
  const Case cases[] = {
      {taLeftJustify, true, false, "abc", {8}},
      {taRightJustify, true, false, "abc", {68}},
      {taCenter, true, false, "abc", {38}},
      // Right alignment wraps at the client width even without word wrap.
      {taRightJustify, false, false, "aaaa bbbb cccc", {20, 60}},
      {taCenter, false, false, "aaaa bbbb cccc", {14, 34}},
      // A stretched line fills the width; the last line is aligned.
      {taRightJustify, true, true, "aaaa bbbb cccc", {8, 60}},
  };
  engine.Settings.ClientWidth = 100;
  engine.Settings.LeftMargin = 8;
  engine.Settings.RightMargin = 8;
  for (const Case& c : cases) {
    engine.Settings.Alignment = c.alignment;
    engine.Settings.WordWrap = c.wordWrap;
    engine.Settings.Justified = c.justified;
    Load(test::U(c.text));
    std::vector<int> origins;
    TPlusNavigatorU nav(&memo);
    for (int l = 0; l < list.LineCountOf(0); ++l) {
      nav.SetPos(list.LineInfo(0, l).LineStart);
      origins.push_back(engine.PosX(nav));
    }
    EXPECT_EQ(origins, c.origins) << c.text << " alignment " << static_cast<int>(c.alignment);
  }
  engine.Settings.Justified = false;
  engine.Settings.Alignment = taRightJustify;
  Load(u"abc");
  TPlusNavigatorU nav(&memo);
  nav.SetPos(3);
  EXPECT_EQ(engine.PosX(nav), 100 - 8) << "right-aligned text ends at the right margin";
}

class LayoutPoints : public Layout {
 protected:
  void SetUp() override {
    Layout::SetUp();
    engine.Settings.LeftMargin = 6;
    Columns(8);
    engine.Settings.ClientWidth += 6;
    engine.VScroll = 5;
    Load(u"one two three\r\nfour\r\n\r\nfive six");
  }
};

TEST_F(LayoutPoints, PositionsAndPointsRoundTrip) {
  ASSERT_EQ(Lines(0), "0-8/7:56 | 8-13/13:40");
  TPlusNavigatorU nav(&memo);
  TPlusNavigatorU hit(&memo);
  for (int32_t p = 0; p <= memo.TextLength(); ++p) {
    nav.SetPos(p);
    const int x = engine.PosX(nav);
    const int y = engine.PosY(nav);
    EXPECT_EQ(y, nav.LineNumber() * 16 + 12 - 5) << p;
    engine.SetPoint(hit, x, y);
    const bool betweenBreak = nav.ParOffset() == list.Length(nav.ParNumber()) + 1;
    EXPECT_EQ(hit.Pos(), betweenBreak ? p - 1 : p) << "position " << p << " at " << x << "," << y;
  }
}

TEST_F(LayoutPoints, PointsPickTheNearerEdgeOfACharacter) {
  struct Case {
    int x;
    int y;
    int32_t pos;
    int32_t line;
  };
  const Case cases[] = {
      {6 + 8 + 3, 0, 1, 0},    // left half of n: before it
      {6 + 8 + 4, 0, 2, 0},    // right half: after it
      {6 + 16 + 7, 10, 3, 0},  // right half of e; y 10 + scroll 5 is still the first line
      {6 + 8 + 3, 11, 9, 1},   // y 11 + scroll 5 is the second line
      {0, 0, 0, 0},            // in the left margin: the line start
      {-40, 20, 8, 1},
      {300, 0, 8, 0},           // beyond a wrapped line: its end, kept on it
      {300, 20, 13, 1},         // beyond the last line of a paragraph: its end
      {6 + 3, 60, 23, 4},       // display line 4 is paragraph 3
      {6 + 8 + 2, -100, 1, 0},  // negative lines become line 0
      {20, 16 * 6, 31, 4},      // beyond the last line: the text end
      {6 + 8 * 8, 16 * 5 - 5, 31, 4},
  };
  TPlusNavigatorU nav(&memo);
  for (const Case& c : cases) {
    engine.SetPoint(nav, c.x, c.y);
    EXPECT_EQ(nav.Pos(), c.pos) << c.x << "," << c.y;
    EXPECT_EQ(nav.LineNumber(), c.line) << c.x << "," << c.y;
  }
  engine.SetPoint(nav, 300, 0);
  EXPECT_EQ(engine.PosX(nav), 6 + 64) << "the end of a wrapped line stays on it";
  engine.HScroll = 16;
  engine.SetPoint(nav, 6 + 3, 0);
  EXPECT_EQ(nav.Pos(), 2) << "the horizontal scroll shifts the text left";
  EXPECT_EQ(engine.PosX(nav), 6 - 16 + 16);
}

TEST_F(LayoutPoints, CharWidthIsZeroAtParagraphEnds) {
  TPlusNavigatorU nav(&memo);
  ASSERT_EQ(memo.TextLength(), 31);
  for (int32_t p : {13, 14, 19, 21, 31}) {
    nav.SetPos(p);
    EXPECT_EQ(engine.CharWidth(nav), 0) << p;
  }
  nav.SetPos(7);
  EXPECT_EQ(engine.CharWidth(nav), 8) << "a hanging space keeps its width";
}

TEST_F(LayoutPoints, NavigatorsFollowANewLayout) {
  TPlusNavigatorU nav(&memo);
  nav.SetPos(10);
  ASSERT_EQ(nav.LineInPar(), 1);
  Columns(100);
  engine.InvalidateAll();
  engine.LayOutAll();
  EXPECT_EQ(nav.LineInPar(), 0);
  EXPECT_EQ(nav.LineNumber(), 0);
  EXPECT_EQ(engine.PosX(nav), 6 + 80);
}

TEST_F(Layout, MeasuresAtMost4096CharactersAtOnce) {
  engine.Settings.WordWrap = false;
  Load(std::u16string(5000, u'x') + u" " + std::u16string(5000, u' ') + u"y");
  EXPECT_EQ(measurer.longest, 4096u);
  EXPECT_EQ(list.LineInfo(0, 0).LineWidth, 10002 * 8);
  TPlusNavigatorU nav(&memo);
  nav.SetPos(10001);
  EXPECT_EQ(engine.PosX(nav), 10001 * 8);
}

TEST_F(Layout, WidestLineSpansAllParagraphs) {
  engine.Settings.WordWrap = false;
  Load(u"abc\r\na\tbcdefg\r\n");
  EXPECT_EQ(engine.WidestLine(), 8 * 8 + 6 * 8);
  EXPECT_EQ(engine.LineHeight(), 16);
}

// Fifty paragraphs of three display lines each at four columns.
std::u16string ThreeLineParagraphs(int count) {
  std::u16string text;
  for (int i = 0; i < count; ++i) text += i == 0 ? u"aaaa bbbb cccc" : u"\r\naaaa bbbb cccc";
  return text;
}

TEST_F(Layout, LayOutUpToStopsOnceTheLineExists) {
  Columns(4);
  test::LoadText(memo, ThreeLineParagraphs(50));
  engine.InvalidateAll();
  ASSERT_EQ(memo.LineCount(), 50);
  engine.LayOutUpTo(10);
  EXPECT_EQ(memo.LineCount(), 4 * 3 + 46);
  EXPECT_EQ(list.FormattedCount, 4);
  EXPECT_TRUE(list.Flags(3) & pfLaidOut);
  EXPECT_FALSE(list.Flags(4) & pfLaidOut);
  VerifyStore(list, "part laid out");
  engine.LayOutUpTo(1000);
  EXPECT_EQ(memo.LineCount(), 150);
  VerifyStore(list, "all laid out");

  engine.InvalidateAll();
  TPlusNavigatorU nav(&memo);
  engine.SetPoint(nav, 0, 16 * 40);
  EXPECT_EQ(nav.ParNumber(), 13) << "a point lays out the lines above it first";
  EXPECT_EQ(nav.LineInPar(), 1);
}

TEST_F(Layout, FormatSlicesAdvanceToCompletion) {
  Columns(4);
  test::LoadText(memo, ThreeLineParagraphs(50));
  engine.InvalidateAll();
  ASSERT_EQ(list.FormattedCount, 0);
  ASSERT_EQ(list.FormatLast, 49);
  engine.LayOut(2);  // laid out already: the slice only counts it
  for (int i = 1; i < 50; ++i) {
    ASSERT_TRUE(engine.FormatSlice(0)) << i;
    EXPECT_EQ(list.FormattedCount, i);
    EXPECT_EQ(list.FormatLast, 49);
    EXPECT_TRUE(list.Flags(i - 1) & pfLaidOut);
  }
  EXPECT_FALSE(engine.FormatSlice(0));
  EXPECT_EQ(list.FormattedCount, 50);
  EXPECT_EQ(list.FormatLast, -1);
  EXPECT_EQ(memo.LineCount(), 150);
  VerifyStore(list, "formatted");
  EXPECT_FALSE(engine.FormatSlice(25)) << "nothing left to do";

  engine.InvalidateAll();
  memo.BeginUpdate();
  EXPECT_TRUE(engine.FormatSlice(0));
  EXPECT_EQ(list.FormattedCount, 0) << "locked updates leave the work waiting";
  memo.EndUpdate();
  int slices = 0;
  while (engine.FormatSlice(25)) ASSERT_LE(++slices, 50);
  EXPECT_EQ(list.FormattedCount, 50);
  EXPECT_EQ(list.FormatLast, -1);
  for (int p = 0; p < 50; ++p) EXPECT_TRUE(list.Flags(p) & pfLaidOut) << p;
  VerifyStore(list, "formatted in 25 ms slices");
}

TEST_F(Layout, EditedParagraphsLayOutLikeFreshOnes) {
  struct Edit {
    int32_t start, stop;
    const char* text;
  };
  const Edit edits[] = {
      {0, 0, "xx yy "},
      {10, 10, "one\r\ntwo three four five\r\n"},
      {3, 30, ""},
      {0, 0, "\r\n\r\n"},
      {5, 9, "averyveryverylongword"},
      {2, 3, " "},
  };
  Columns(6);
  Load(u"alpha beta gamma\r\ndelta\r\n\r\nepsilon zeta eta theta");
  for (const Edit& e : edits) {
    const TReplaceResult r = memo.ReplaceRange(e.start, e.stop, test::U(e.text));
    for (int p = r.FirstParagraph; p <= r.TailParagraph; ++p) engine.LayOut(p);
    VerifyStore(list, std::string("after inserting ") + e.text);

    TPlusMemoU fresh;
    TLayoutEngine freshEngine(fresh, measurer);
    freshEngine.Settings = engine.Settings;
    test::LoadText(fresh, memo.Text());
    freshEngine.LayOutAll();
    ASSERT_EQ(fresh.LineCount(), memo.LineCount()) << e.text;
    for (int p = 0; p < memo.ParagraphCount(); ++p) {
      ASSERT_EQ(fresh.Paragraphs().LineCountOf(p), list.LineCountOf(p)) << e.text << " paragraph " << p;
      for (int l = 0; l < list.LineCountOf(p); ++l)
        EXPECT_EQ(fresh.Paragraphs().LineInfo(p, l), list.LineInfo(p, l))
            << e.text << " paragraph " << p << " line " << l;
    }
  }
}

TEST_F(Layout, HighlightedParagraphsRunTheKeywordPassFirst) {
  TExtHighlighterU h;
  h.SetSeparators(u" ");
  h.Keywords.AddExtKeyword(u"foo", 0, fsBold, 9, 0, 32767, 0, -1, -1);
  memo.SetHighlighter(&h);
  Columns(5);
  test::LoadText(memo, u"a foo b foo");
  ASSERT_FALSE(list.Flags(0) & pfKeywordsApplied);
  ASSERT_EQ(list.RunCount(0), 0);
  engine.LayOut(0);
  EXPECT_EQ(list.Flags(0) & (pfLaidOut | pfSpansParsed | pfKeywordsApplied),
            pfLaidOut | pfSpansParsed | pfKeywordsApplied);
  ASSERT_GE(list.RunCount(0), 3);
  EXPECT_EQ(list.Run(0, 0).Offset, 2);
  EXPECT_EQ(list.Run(0, 0).Kind, dkKeyStyle | fsBold);
  EXPECT_EQ(list.Run(0, 0).ContextNum, 9);
  EXPECT_EQ(Lines(0), "0-2/1:8 | 2-6/5:30 | 6-8/7:8 | 8-11/11:30") << "the keyword is measured bold";
  for (int l = 0; l < list.LineCountOf(0); ++l)
    EXPECT_EQ(list.LineInfo(0, l).FirstRun, scan::FirstRun(list, 0, list.LineInfo(0, l).LineStart, false)) << l;
  EXPECT_EQ(list.LineInfo(0, 1).FirstRun, 0);
  EXPECT_EQ(list.LineInfo(0, 3).FirstRun, 2);
}

TEST_F(Layout, WithoutKeywordsOrHighlighterNoPassRuns) {
  memo.ApplyKeyWords = false;
  memo.Keywords.AddKeyword(u"foo", 0, fsBold, 9, 0, -1, -1);
  test::LoadText(memo, u"a foo b");
  engine.LayOut(0);
  EXPECT_EQ(list.RunCount(0), 0);
  EXPECT_TRUE(list.Flags(0) & pfLaidOut);
  EXPECT_TRUE(list.Flags(0) & pfKeywordsApplied) << "a laid-out paragraph counts as keyworded";
  EXPECT_THROW(engine.LayOut(1), ERangeError);
}

}  // namespace
}  // namespace qm
