// Shared value types of the editor engine: colours, font styles, case folding, line breaks, separator sets.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <string_view>

namespace qm {

// A colour in the toolkit encoding: 0x00BBGGRR for a plain colour, 0xFF0000nn
// (negative) for a system colour. In highlighting attributes both -1 and
// clNone mean "no colour of its own".
using TColor = int32_t;
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;

constexpr bool IsNoColor(TColor c) { return c == -1 || c == clNone; }

// A system colour number (0xFF0000nn) for the toolkit's colour index nn.
constexpr TColor SystemColor(int index) { return static_cast<TColor>(0xFF000000u | static_cast<uint32_t>(index)); }
constexpr bool IsSystemColor(TColor c) { return (static_cast<uint32_t>(c) & 0xFF000000u) == 0xFF000000u; }

// Font style set; in highlighting attributes bit 4 selects the highlight
// colours and bit 5 the editor's alternate font.
using TFontStyleSet = uint8_t;
inline constexpr TFontStyleSet fsBold = 1 << 0;
inline constexpr TFontStyleSet fsItalic = 1 << 1;
inline constexpr TFontStyleSet fsUnderline = 1 << 2;
inline constexpr TFontStyleSet fsStrikeOut = 1 << 3;
inline constexpr TFontStyleSet fsHighlight = 1 << 4;
inline constexpr TFontStyleSet fsAltFont = 1 << 5;

// How keys and searches fold letter case.
enum class TpmUpperCase : uint8_t { pmuAscii, pmuAnsi, pmuUserDefined };
using enum TpmUpperCase;

// The break written between paragraphs when saving.
enum class TPlusLineBreak : uint8_t { pbCRLF, pbLFCR, pbCR, pbLF };
using enum TPlusLineBreak;

std::u16string_view LineBreakText(TPlusLineBreak lb);

// A 256-member character set; characters above 255 test as 255.
class TCharSet {
 public:
  TCharSet() = default;
  explicit TCharSet(std::u16string_view chars) { Add(chars); }

  void Add(char16_t c) { bits_.set(Clamp(c)); }
  void Add(std::u16string_view chars) {
    for (char16_t c : chars) Add(c);
  }
  void Remove(char16_t c) { bits_.reset(Clamp(c)); }
  // Clamp keeps the index in range, so the unchecked access is safe.
  bool Contains(char16_t c) const { return bits_[Clamp(c)]; }
  bool operator==(const TCharSet&) const = default;

  static unsigned Clamp(char16_t c) { return c > 255 ? 255u : static_cast<unsigned>(c); }

 private:
  std::bitset<256> bits_;
};

// A byte per unit value of a TCharSet, made again only when the set changes:
// scans that test every unit of a paragraph answer faster from it than from
// the set's bits.
class TCharTable {
 public:
  const TCharTable& Of(const TCharSet& set) {
    if (!(set_ == set)) Build(set);
    return *this;
  }
  bool Contains(char16_t c) const { return table_[TCharSet::Clamp(c)] != 0; }
  const TCharSet& Set() const { return set_; }

 private:
  void Build(const TCharSet& set) {
    for (unsigned c = 0; c < 256; ++c) table_[c] = set.Contains(static_cast<char16_t>(c)) ? 1 : 0;
    set_ = set;
  }
  TCharSet set_;  // empty, as the table
  std::array<uint8_t, 256> table_{};
};

}  // namespace qm
