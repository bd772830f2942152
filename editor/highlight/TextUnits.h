// Searching and hashing runs of UTF-16 units: the word lookups and stop-key searches of the highlighting passes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace qm::scan {

// hay.find(key, from): the stop key of a block is searched for in nearly
// every line of it, so the first unit is looked for eight units at a time and
// the second is compared before the whole key.
size_t FindUnits(std::u16string_view hay, std::u16string_view key, size_t from);

// A hash of UTF-16 units, four at a time. Inline: every word of every
// paragraph is hashed, most of them short.
inline uint64_t HashUnits(const char16_t* units, size_t length) {
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

}  // namespace qm::scan
