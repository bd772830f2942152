// Painting through a recording surface: colours of runs, selection, caret.
#include <gtest/gtest.h>

#include <set>

#include "HighlightUtil.h"
#include "editor/control/Painter.h"

namespace qm {
namespace {

// Records what is drawn.
class RecordingSurface : public TSurface {
 public:
  struct Text {
    int X, Y;
    int32_t Colour;
    std::u16string Chars;
  };
  int TextWidth(const TFontSpec& f, std::u16string_view t) override { return measurer.TextWidth(f, t); }
  int AverageCharWidth(const TFontSpec& f) override { return measurer.AverageCharWidth(f); }
  int LineHeight(const TFontSpec& f) override { return measurer.LineHeight(f); }
  int Ascent(const TFontSpec& f) override { return measurer.Ascent(f); }
  void FillRect(const TRect& r, int32_t colour) override { fills.push_back({r, colour}); }
  void DrawText(int x, int y, const TFontSpec&, int32_t colour, std::u16string_view text) override {
    texts.push_back(Text{x, y, colour, std::u16string(text)});
  }
  void SetClip(const TRect&) override {}

  TFixedPitchMeasurer measurer{8, 16, 12};
  std::vector<std::pair<TRect, int32_t>> fills;
  std::vector<Text> texts;

  // The colour each drawn character was last drawn in, by its x.
  int32_t ColourAt(int x) const {
    int32_t colour = -2;
    for (const Text& t : texts)
      if (x >= t.X && x < t.X + static_cast<int>(t.Chars.size()) * 8) colour = t.Colour;
    return colour;
  }
};

TEST(Painter, ColoursFollowTheRunsParagraphAndHighlightBit) {
  TPlusMemoU memo;
  test::LoadText(memo, u"a\r\nb");
  TFixedPitchMeasurer m;
  TLayoutEngine layout(memo, m);
  TPainter painter(memo, layout);
  TDynInfo plain;
  TDynInfo comment;
  comment.Kind = dkKeyStyle | fsItalic;
  comment.Background = -1;
  comment.Foreground = 5126714;
  TDynInfo zeros;
  zeros.Kind = dkKeyStyle;
  TDynInfo highlight;
  highlight.Kind = dkHighlight | fsHighlight;
  highlight.Background = clNone;
  highlight.Foreground = clNone;
  struct Case {
    const TDynInfo* style;
    TPieceColors colours;
  };
  const TPaintSettings& s = painter.Settings;
  for (const Case& c : {Case{&plain, {s.FontColor, s.Color}}, Case{&comment, {5126714, s.Color}},
                        Case{&zeros, {s.FontColor, s.Color}}, Case{&highlight, {s.HighlightColor, s.HighlightBackgnd}}})
    EXPECT_EQ(painter.ColorsFor(0, *c.style), c.colours);
  // The paragraph's own colour wins over a run's.
  memo.Paragraphs().MakeRare(1).ParForeground = 0x0000FF;
  EXPECT_EQ(painter.ColorsFor(1, comment).Foreground, 0x0000FF);
  EXPECT_EQ(painter.ColorsFor(1, plain).Foreground, 0x0000FF);
}

TEST(Painter, HighlightedScriptSelectionAndCaret) {
  auto chain = test::MainChain();
  TPlusMemoU memo;
  test::ConfigureScriptEditor(memo, *chain);
  test::LoadText(memo, u"set x ; note");
  TFixedPitchMeasurer m;
  TLayoutEngine layout(memo, m);
  layout.Settings.WordWrap = false;
  layout.Settings.LeftMargin = 6;
  layout.Settings.ClientWidth = 400;
  TPainter painter(memo, layout);
  memo.SetSelStart(4);
  memo.SetSelLength(1);  // "x"
  RecordingSurface surface;
  painter.Paint(surface, TRect{0, 0, 400, 100}, true);
  const int left = 6;
  EXPECT_EQ(surface.ColourAt(left + 0 * 8), painter.Settings.FontColor)
      << "a command without a colour of its own keeps the text colour";
  EXPECT_EQ(surface.ColourAt(left + 4 * 8), painter.Settings.SelTextColor);
  EXPECT_EQ(surface.ColourAt(left + 9 * 8), 5126714) << "the comment";
  const TRect caret = painter.CaretRect();
  EXPECT_EQ(caret.Left, left + 4 * 8);
  EXPECT_EQ(caret.Right - caret.Left, 1);
  EXPECT_EQ(caret.Bottom - caret.Top, 16);
}

TEST(Painter, AMarkIsAWaveUnderItsTextInItsColour) {
  TPlusMemoU memo;
  test::LoadText(memo, u"set x to 5");
  TFixedPitchMeasurer m;
  TLayoutEngine layout(memo, m);
  layout.Settings.WordWrap = false;
  layout.Settings.ClientWidth = 400;
  layout.Settings.LeftMargin = 0;
  TPainter painter(memo, layout);
  memo.SetMarks({TTextMark{4, 1, 0x0000FF, 1, u"x"}});
  RecordingSurface surface;
  painter.Paint(surface, TRect{0, 0, 400, 100}, false);
  int left = INT32_MAX;
  int right = 0;
  std::set<int> rows;
  for (const auto& [rect, colour] : surface.fills) {
    if (colour != 0x0000FF) continue;
    left = std::min(left, rect.Left);
    right = std::max(right, rect.Right);
    rows.insert(rect.Top);
  }
  EXPECT_EQ(left, 4 * 8) << "under the x alone";
  EXPECT_EQ(right, 5 * 8);
  EXPECT_EQ(rows, (std::set<int>{16 - 3, 16 - 2})) << "two rows along the bottom of the line: a wave";
}

}  // namespace
}  // namespace qm
