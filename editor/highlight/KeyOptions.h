// Option bits shared by keyword and start-stop entries.
#pragma once

#include <cstdint>

namespace qm {

// Compare the key with the unfolded text instead of the case-folded text.
inline constexpr uint8_t kwoMatchCase = 1 << 0;
// Accept a match only between separators.
inline constexpr uint8_t kwoWholeWord = 1 << 1;

// A scope level that lets a key apply everywhere; also the enclosing level
// under a keyword, where only such keys apply.
inline constexpr int32_t kScopeEverywhere = 32767;
// A scope context that ends a span at the first separator after its start,
// its stop key never searched.
inline constexpr int32_t kEndsAtSeparator = 32767;

}  // namespace qm
