// TQtSurface: fonts from font specs, colours from colour numbers, measurement with QFontMetrics, drawing with QPainter.
#include "qt/QtSurface.h"

#include <QFontInfo>
#include <QPainter>
#include <QRect>
#include <QString>

#include <algorithm>
#include <cstdint>

namespace qm {

namespace {

QString ToQString(std::u16string_view text) {
  return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

// Below Hebrew: Latin, Greek, Cyrillic and the like need no shaping.
constexpr char16_t kSimpleLimit = 0x0590;

QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top); }

}  // namespace

QColor TQtSurface::ToQColor(int32_t colour, const QPalette& palette) {
  const auto bits = static_cast<uint32_t>(colour);
  if ((bits & 0xFF000000u) == 0xFF000000u) {
    switch (bits & 0xFFu) {
      case 5:  // window
        return palette.color(QPalette::Base);
      case 8:  // window text
        return palette.color(QPalette::Text);
      case 13:  // highlight
        return palette.color(QPalette::Highlight);
      case 14:  // highlight text
        return palette.color(QPalette::HighlightedText);
      case 15:  // button face
        return palette.color(QPalette::Button);
      case 16:  // button shadow
        return palette.color(QPalette::Dark);
      case 18:  // button text
        return palette.color(QPalette::ButtonText);
      case 20:  // button highlight
        return palette.color(QPalette::Light);
      default: return palette.color(QPalette::Text);
    }
  }
  return QColor(static_cast<int>(bits & 0xFFu), static_cast<int>((bits >> 8) & 0xFFu),
                static_cast<int>((bits >> 16) & 0xFFu));
}

QFont TQtSurface::ToQFont(const TFontSpec& fontSpec) {
  QFont font(ToQString(fontSpec.Name));
  font.setPointSize(fontSpec.Size > 0 ? fontSpec.Size : 10);
  font.setBold((fontSpec.Style & 1) != 0);
  font.setItalic((fontSpec.Style & 2) != 0);
  font.setUnderline((fontSpec.Style & 4) != 0);
  font.setStrikeOut((fontSpec.Style & 8) != 0);
  // Layout sums the widths of separately measured pieces; kerning across a
  // piece boundary would make the sum differ from the drawn line.
  font.setKerning(false);
  // Whole-pixel advances keep a monospaced column grid exact and the caret on glyph boundaries.
  font.setHintingPreference(QFont::PreferFullHinting);
  return font;
}

TQtSurface::TEntry& TQtSurface::Entry(const TFontSpec& fontSpec) {
  if (last_ != nullptr && fontSpec == lastSpec_) return *last_;
  auto key = std::make_tuple(fontSpec.Name, fontSpec.Size, fontSpec.Style);
  auto it = cache_.find(key);
  if (it == cache_.end()) {
    QFont font = ToQFont(fontSpec);
    auto entry = std::make_unique<TEntry>(TEntry{font, QFontMetrics(font), {}});
    // Kerning is off, so on a fixed-pitch font a piece is as wide as its characters' advances.
    if (QFontInfo(font).fixedPitch()) entry->Advances.assign(kSimpleLimit, -1);
    it = cache_.emplace(std::move(key), std::move(entry)).first;
  }
  lastSpec_ = fontSpec;
  last_ = it->second.get();
  return *last_;
}

bool TQtSurface::SumAdvances(TEntry& entry, std::u16string_view text, int64_t& width) {
  if (entry.Advances.empty()) return false;
  width = 0;
  for (const char16_t c : text) {
    if (c < 32 || c >= kSimpleLimit) return false;
    int16_t& advance = entry.Advances[c];
    if (advance < 0) {
      const QChar qc(c);
      // Combining marks join the character before them; the shaper decides.
      if (qc.isMark() || !qc.isPrint()) return false;
      advance = static_cast<int16_t>(entry.Metrics.horizontalAdvance(qc));
    }
    width += advance;
  }
  return true;
}

int TQtSurface::TextWidth(const TFontSpec& font, std::u16string_view text) {
  TEntry& entry = Entry(font);
  int64_t width = 0;
  if (SumAdvances(entry, text, width)) return static_cast<int>(std::min<int64_t>(width, INT32_MAX));
  return entry.Metrics.horizontalAdvance(ToQString(text));
}

int TQtSurface::AverageCharWidth(const TFontSpec& font) { return Entry(font).Metrics.averageCharWidth(); }

int TQtSurface::LineHeight(const TFontSpec& font) { return Entry(font).Metrics.height(); }

int TQtSurface::Ascent(const TFontSpec& font) { return Entry(font).Metrics.ascent(); }

void TQtSurface::FillRect(const TRect& rect, int32_t colour) {
  if (painter_ == nullptr || rect.Right <= rect.Left || rect.Bottom <= rect.Top) return;
  painter_->fillRect(ToQRect(rect), ToQColor(colour, palette_));
}

void TQtSurface::DrawText(int x, int y, const TFontSpec& font, int32_t colour, std::u16string_view text) {
  if (painter_ == nullptr || text.empty()) return;
  painter_->setFont(Entry(font).Font);
  painter_->setPen(ToQColor(colour, palette_));
  painter_->drawText(QPoint(x, y), ToQString(text));
}

void TQtSurface::SetClip(const TRect& rect) {
  if (painter_ == nullptr) return;
  painter_->setClipRect(ToQRect(rect));
}

}  // namespace qm
