// System colour defaults, the RTF colour table and the rounding of spacing values.
#include "export/RtfColors.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace qm {
namespace {

constexpr TColor Rgb(int r, int g, int b) { return static_cast<TColor>(r | (g << 8) | (b << 16)); }

// Indices 0 … 30 of the common default scheme (scroll bar, desktop, captions,
// menu, window, frame, menu text, window text, …).
constexpr std::array<TColor, 31> kSystemColors = {
    Rgb(200, 200, 200), Rgb(0, 0, 0),       Rgb(153, 180, 209), Rgb(191, 205, 219), Rgb(240, 240, 240),
    Rgb(255, 255, 255), Rgb(100, 100, 100), Rgb(0, 0, 0),       Rgb(0, 0, 0),       Rgb(0, 0, 0),
    Rgb(180, 180, 180), Rgb(244, 247, 252), Rgb(171, 171, 171), Rgb(0, 120, 215),   Rgb(255, 255, 255),
    Rgb(240, 240, 240), Rgb(160, 160, 160), Rgb(109, 109, 109), Rgb(0, 0, 0),       Rgb(0, 0, 0),
    Rgb(255, 255, 255), Rgb(105, 105, 105), Rgb(227, 227, 227), Rgb(0, 0, 0),       Rgb(255, 255, 225),
    Rgb(0, 0, 0),       Rgb(0, 102, 204),   Rgb(185, 209, 234), Rgb(215, 228, 242), Rgb(51, 153, 255),
    Rgb(240, 240, 240),
};

}  // namespace

TColor DefaultSystemColorRGB(int index) {
  return index >= 0 && index < static_cast<int>(kSystemColors.size()) ? kSystemColors[static_cast<size_t>(index)] : 0;
}

TColor ColorToRGB(TColor colour, const TSystemColorFn& system) {
  if (colour < 0) {
    const int index = colour & 0xFF;
    return (system ? system(index) : DefaultSystemColorRGB(index)) & 0xFFFFFF;
  }
  return colour & 0xFFFFFF;
}

void TRtfColorTable::Add(TColor colour) {
  if (IsNoColor(colour) || IndexOf(colour) >= 0) return;
  colours_.push_back(colour);
}

int TRtfColorTable::IndexOf(TColor colour) const {
  const auto it = std::find(colours_.begin(), colours_.end(), colour);
  return it == colours_.end() ? -1 : static_cast<int>(it - colours_.begin());
}

std::string TRtfColorTable::Entries(const TSystemColorFn& system) const {
  std::string out;
  for (const TColor colour : colours_) {
    const TColor rgb = ColorToRGB(colour, system);
    out += "\\red" + std::to_string(rgb & 0xFF) + "\\green" + std::to_string((rgb >> 8) & 0xFF) + "\\blue" +
           std::to_string((rgb >> 16) & 0xFF) + ";";
  }
  return out;
}

int32_t RoundHalfEven(double x) {
  if (std::isnan(x)) return 0;
  constexpr double lo = std::numeric_limits<int32_t>::min();
  constexpr double hi = std::numeric_limits<int32_t>::max();
  if (x <= lo) return std::numeric_limits<int32_t>::min();
  if (x >= hi) return std::numeric_limits<int32_t>::max();
  const double below = std::floor(x);
  const double fraction = x - below;
  double rounded = fraction > 0.5 ? below + 1 : below;
  if (fraction == 0.5) rounded = std::fmod(below, 2.0) == 0 ? below : below + 1;
  return static_cast<int32_t>(rounded);
}

}  // namespace qm
