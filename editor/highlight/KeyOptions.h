// Option bits shared by keyword and start-stop entries.
#pragma once

#include <cstdint>

namespace qm {

// Compare the key with the unfolded text instead of the case-folded text.
inline constexpr uint8_t kwoMatchCase = 1 << 0;
// Accept a match only between separators.
inline constexpr uint8_t kwoWholeWord = 1 << 1;

}  // namespace qm
