// Plain wide-string routines of the editor.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qm {

size_t WStrLen(const char16_t* s);
// Folds a to z only.
char16_t UpCaseAscii(char16_t c);
void UpperCaseAscii(std::u16string& s);
std::u16string UpperCaseAscii(std::u16string_view s);
// Position of needle in hay at or after `from`, or npos.
size_t WStrPos(std::u16string_view hay, std::u16string_view needle, size_t from = 0);
// The text without embedded format codes (1 to 4 and 21).
std::u16string StripFormatCodes(std::u16string_view s);
bool IsFormatCode(char16_t c);

}  // namespace qm
