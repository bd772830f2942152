// Deterministic generator of large, realistic game scripts used by benchmarks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qm::bench {

// Returns a script of exactly `lines` lines as Windows-1251 bytes. Every line,
// the last one included, ends with CR LF. The same `lines` and `seed` give the
// same bytes on every machine and compiler.
std::string GenerateScript(size_t lines, uint32_t seed = 1);

// UTF-8 text (up to three-byte sequences) as Windows-1251 bytes; '?' for a
// character the code page lacks.
std::string Utf8ToCp1251(std::string_view text);

}  // namespace qm::bench
