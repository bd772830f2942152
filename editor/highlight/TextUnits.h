// Searching and hashing runs of UTF-16 units: the word lookups and stop-key searches of the highlighting passes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qm::scan {

// hay.find(key, from): the stop key of a block is searched for in nearly
// every line of it, so the first unit is looked for eight units at a time and
// the second is compared before the whole key.
size_t FindUnits(std::u16string_view hay, std::u16string_view key, size_t from);

// A hash of UTF-16 units, four at a time.
uint64_t HashUnits(const char16_t* units, size_t length);

}  // namespace qm::scan
