// The drawing surface and text measurement the editor engine paints and lays out through (implemented by the Qt layer).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qm {

// A font as the engine names it: family, size in points, style bits
// (bold 1, italic 2, underline 4, strike-out 8).
struct TFontSpec {
  std::u16string Name = u"Arial";
  int Size = 10;
  uint8_t Style = 0;
  bool operator==(const TFontSpec&) const = default;
};

struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
};

// Measures text in pixels.
class TTextMeasurer {
 public:
  virtual ~TTextMeasurer() = default;
  // Width of the text drawn in the font (no tabs or format codes in it).
  virtual int TextWidth(const TFontSpec& font, std::u16string_view text) = 0;
  virtual int AverageCharWidth(const TFontSpec& font) = 0;
  virtual int LineHeight(const TFontSpec& font) = 0;
  // Distance from the top of a line to its baseline.
  virtual int Ascent(const TFontSpec& font) = 0;
};

// Where the engine paints. Colours are 0x00BBGGRR numbers or system colours
// (0xFF0000nn), which the surface resolves.
class TSurface : public TTextMeasurer {
 public:
  virtual void FillRect(const TRect& rect, int32_t colour) = 0;
  // Draws text with its baseline at y.
  virtual void DrawText(int x, int y, const TFontSpec& font, int32_t colour, std::u16string_view text) = 0;
  virtual void SetClip(const TRect& rect) = 0;
};

// A measurer where every character is the same width: for headless hosts and tests.
class TFixedPitchMeasurer : public TTextMeasurer {
 public:
  explicit TFixedPitchMeasurer(int charWidth = 8, int lineHeight = 16, int ascent = 12)
      : charWidth_(charWidth), lineHeight_(lineHeight), ascent_(ascent) {}
  int TextWidth(const TFontSpec&, std::u16string_view text) override {
    return static_cast<int>(text.size()) * charWidth_;
  }
  int AverageCharWidth(const TFontSpec&) override { return charWidth_; }
  int LineHeight(const TFontSpec&) override { return lineHeight_; }
  int Ascent(const TFontSpec&) override { return ascent_; }

 private:
  int charWidth_;
  int lineHeight_;
  int ascent_;
};

}  // namespace qm
