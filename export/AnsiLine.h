// Fast conversion of UTF-16 lines to the program's 8-bit code page, equal to WideToAnsi.
#pragma once

#include <string>
#include <string_view>

namespace qm {

// Appends text converted to the system code page to out. The result is the
// same as WideToAnsi(text): a character the code page cannot hold becomes
// '?', a surrogate pair one '?'. A table made once replaces iconv, which
// costs far more than the copy itself on lines of a few dozen characters.
void AppendAnsi(std::string& out, std::u16string_view text);

}  // namespace qm
