// Searching and hashing runs of UTF-16 units, eight or four at a time.
#include "editor/highlight/TextUnits.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qm::scan {

uint64_t HashUnits(const char16_t* units, size_t length) {
  // Four units per step: every word of every paragraph is hashed.
  uint64_t h = 0x9e3779b97f4a7c15ULL ^ length;
  size_t i = 0;
  for (; i + 4 <= length; i += 4) {
    uint64_t w;
    std::memcpy(&w, units + i, sizeof w);
    h = (h ^ w) * 0xff51afd7ed558ccdULL;
    h ^= h >> 32;
  }
  if (i < length) {
    // The one to three units left: with four or more in all, the last four
    // again (the length is in the hash already); else one by one.
    uint64_t w = 0;
    if (length >= 4)
      std::memcpy(&w, units + length - 4, sizeof w);
    else
      for (size_t k = 0; k < length; ++k) w |= uint64_t{units[k]} << (16 * k);
    h = (h ^ w) * 0xff51afd7ed558ccdULL;
  }
  h ^= h >> 33;
  h *= 0xc4ceb9fe1a85ec53ULL;
  return h ^ (h >> 29);
}

size_t FindUnits(std::u16string_view hay, std::u16string_view key, size_t from) {
  const size_t m = key.size();
  if (m == 0 || hay.size() < m) return m == 0 && from <= hay.size() ? from : std::u16string_view::npos;
  const char16_t first = key[0];
  const size_t last = hay.size() - m;
  size_t at = from;
  auto fits = [&](size_t pos) {
    return (m == 1 || hay[pos + 1] == key[1]) && std::memcmp(hay.data() + pos, key.data(), m * sizeof(char16_t)) == 0;
  };
#if defined(__SSE2__)
  // Eight positions at a time: most lines hold the key's first unit rarely.
  const __m128i want = _mm_set1_epi16(static_cast<short>(first));
  for (; at <= last && last - at >= 7; at += 8) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(hay.data() + at));
    // Two mask bits per unit.
    for (auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(units, want))); mask != 0;
         mask &= mask - 1, mask &= mask - 1) {
      const size_t pos = at + static_cast<size_t>(std::countr_zero(mask) / 2);
      if (fits(pos)) return pos;
    }
  }
#endif
  for (; at <= last; ++at)
    if (hay[at] == first && fits(at)) return at;
  return std::u16string_view::npos;
}

}  // namespace qm::scan
