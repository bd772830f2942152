// Searching and hashing runs of UTF-16 units, eight or four at a time.
#include "editor/highlight/TextUnits.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qm::scan {

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
  // Eight positions at a time, each tested for the key's first two units:
  // a common first letter alone ("e" of "end") would stop at most words.
  const __m128i want = _mm_set1_epi16(static_cast<short>(first));
  const __m128i wantNext = _mm_set1_epi16(static_cast<short>(m > 1 ? key[1] : 0));
  for (; at <= last && last - at >= 7; at += 8) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(hay.data() + at));
    __m128i hits = _mm_cmpeq_epi16(units, want);
    if (m > 1) {
      // at + 8 + m - 1 <= size, so the eight units after these are in the text.
      const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(hay.data() + at + 1));
      hits = _mm_and_si128(hits, _mm_cmpeq_epi16(next, wantNext));
    }
    // Two mask bits per unit.
    for (auto mask = static_cast<unsigned>(_mm_movemask_epi8(hits)); mask != 0; mask &= mask - 1, mask &= mask - 1) {
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
