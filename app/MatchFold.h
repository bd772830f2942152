// The fold that matches the word at the caret against the item list: Windows-1251 upper case of the program's own.
#pragma once

#include <string>
#include <string_view>

namespace qm {

// "a" to "z" become "A" to "Z", Cyrillic "а" to "я" (224 to 255) lose 32,
// "ё" (184) becomes "Ё" (168); every other byte stays.
std::string MatchFold(std::string_view text);

}  // namespace qm
