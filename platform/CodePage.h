// Conversion between UTF-16 text and the program's 8-bit code page (Windows-1251).
#pragma once

#include <string>
#include <string_view>

namespace qm {

// The 8-bit "system code page" of the program.
inline constexpr const char* kSystemCodePage = "CP1251";

// 8-bit text in the system code page to UTF-16. A byte the code page does not
// define becomes '?'.
std::u16string AnsiToWide(std::string_view text);

// UTF-16 text to the system code page. A character the code page cannot hold
// (or a lone surrogate) becomes '?'; a surrogate pair becomes one '?'.
std::string WideToAnsi(std::u16string_view text);

// UTF-8 (used for messages and file names) to and from UTF-16.
std::u16string Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::u16string_view text);

}  // namespace qm
