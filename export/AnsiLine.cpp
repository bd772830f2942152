// The UTF-16 to code-page table behind AppendAnsi, made once from the code page's own byte-to-unit table.
#include "export/AnsiLine.h"

#include <array>
#include <memory>

#include "platform/CodePage.h"

namespace qm {
namespace {

constexpr bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c < 0xDC00; }
constexpr bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c < 0xE000; }

// The byte of every UTF-16 unit; '?' where the code page has none.
const std::array<char, 65536>& UnitBytes() {
  static const std::unique_ptr<std::array<char, 65536>> table = [] {
    auto bytes = std::make_unique<std::array<char, 65536>>();
    bytes->fill('?');
    const auto& units = AnsiUnits();
    // A byte the code page leaves undefined reads as '?' and must not claim that unit.
    for (int b = 255; b >= 0; --b) {
      const char16_t unit = units[static_cast<size_t>(b)];
      if (unit != u'?' || b == '?') (*bytes)[unit] = static_cast<char>(b);
    }
    return bytes;
  }();
  return *table;
}

}  // namespace

void AppendAnsi(std::string& out, std::u16string_view text) {
  const auto& bytes = UnitBytes();
  const size_t start = out.size();
  out.resize(start + text.size());
  char* dst = out.data() + start;
  const size_t n = text.size();
  for (size_t i = 0; i < n; ++i) {
    const char16_t c = text[i];
    if (c < 0x80) {
      *dst++ = static_cast<char>(c);
      continue;
    }
    // A valid pair is one character the code page cannot hold: one '?'.
    if (IsHighSurrogate(c) && i + 1 < n && IsLowSurrogate(text[i + 1])) ++i;
    *dst++ = bytes[c];
  }
  out.resize(static_cast<size_t>(dst - out.data()));
}

}  // namespace qm
