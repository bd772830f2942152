// TQtSurface: the engine's drawing surface and text measurer over a QPainter, with Qt fonts and palette colours.
#pragma once

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QPalette>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "platform/Surface.h"

class QPainter;

namespace qm {

class TQtSurface : public TSurface {
 public:
  // painter may be null: the surface then only measures (drawing does nothing).
  explicit TQtSurface(const QPalette& palette, QPainter* painter = nullptr) : palette_(palette), painter_(painter) {}

  // The painter drawing goes to (null: measuring only); the font cache stays.
  void SetPainter(QPainter* painter) { painter_ = painter; }
  void SetPalette(const QPalette& palette) { palette_ = palette; }

  // A 0x00BBGGRR number, or a system colour 0xFF0000nn resolved through the palette.
  static QColor ToQColor(int32_t colour, const QPalette& palette);
  // The Qt font the engine names.
  static QFont ToQFont(const TFontSpec& font);

  int TextWidth(const TFontSpec& font, std::u16string_view text) override;
  int AverageCharWidth(const TFontSpec& font) override;
  int LineHeight(const TFontSpec& font) override;
  int Ascent(const TFontSpec& font) override;

  void FillRect(const TRect& rect, int32_t colour) override;
  void DrawText(int x, int y, const TFontSpec& font, int32_t colour, std::u16string_view text) override;
  void SetClip(const TRect& rect) override;

 private:
  struct TEntry {
    QFont Font;
    QFontMetrics Metrics;
    // For a fixed-pitch font, the advances of simple characters (below the
    // scripts that need shaping), measured once each; -1 not measured yet.
    // Empty for other fonts.
    std::vector<int16_t> Advances;
  };
  // Layout asks for the same few fonts thousands of times per screen.
  TEntry& Entry(const TFontSpec& font);
  // The sum of cached advances; false when a character needs the shaper.
  static bool SumAdvances(TEntry& entry, std::u16string_view text, int64_t& width);

  QPalette palette_;
  QPainter* painter_;
  std::map<std::tuple<std::u16string, int, uint8_t>, std::unique_ptr<TEntry>> cache_;
  // The last font asked for: runs of one style ask for it many times in a row.
  TFontSpec lastSpec_;
  TEntry* last_ = nullptr;
};

}  // namespace qm
