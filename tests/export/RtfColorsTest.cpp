// The rounding of spacing values, colour resolution and the colour table.
#include <gtest/gtest.h>

#include "export/RtfColors.h"

namespace qm {
namespace {

TEST(RoundHalfEvenTest, HalvesGoToTheEvenNeighbour) {
  const std::pair<double, int32_t> cases[] = {
      {0.5, 0},     {1.5, 2},    {2.5, 2},    {3.5, 4},   {-0.5, 0},         {-1.5, -2},         {-2.5, -2},
      {360.0, 360}, {2.4999, 2}, {2.5001, 3}, {-2.6, -3}, {1e12, INT32_MAX}, {-1e12, INT32_MIN},
  };
  for (const auto& [x, expected] : cases) EXPECT_EQ(RoundHalfEven(x), expected) << x;
}

TEST(ColorToRGBTest, SystemColoursResolveThroughTheirLowByte) {
  EXPECT_EQ(ColorToRGB(0x123456, nullptr), 0x123456);
  EXPECT_EQ(ColorToRGB(SystemColor(5), nullptr), clWhite);
  EXPECT_EQ(ColorToRGB(SystemColor(8), nullptr), clBlack);
  const TSystemColorFn palette = [](int index) { return index == 5 ? 0x332211 : 0x010203; };
  EXPECT_EQ(ColorToRGB(SystemColor(5), palette), 0x332211);
  EXPECT_EQ(ColorToRGB(SystemColor(13), palette), 0x010203);
}

TEST(RtfColorTableTest, NoColourNeverEntersAndDuplicatesAreKeptOut) {
  TRtfColorTable table;
  table.AddAlways(clBlack);
  table.AddAlways(clBlack);
  table.Add(-1);
  table.Add(clNone);
  table.Add(clBlack);
  table.Add(0x0000FF);
  table.Add(0x0000FF);
  EXPECT_EQ(table.Colours(), (std::vector<TColor>{clBlack, clBlack, 0x0000FF}));
  EXPECT_EQ(table.IndexOf(clBlack), 0);
  EXPECT_EQ(table.IndexOf(-1), -1);
  EXPECT_EQ(table.Entries(nullptr), "\\red0\\green0\\blue0;\\red0\\green0\\blue0;\\red255\\green0\\blue0;");
}

}  // namespace
}  // namespace qm
