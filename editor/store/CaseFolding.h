// Case folding of keys and text: ASCII only, the platform's Unicode upper-casing, or a routine the program installs.
#pragma once

#include <string>
#include <string_view>

#include "editor/store/Types.h"

namespace qm {

// A process-wide folding routine for pmuUserDefined; it folds `length` units in place.
using TUpperCaseProc = void (*)(char16_t* text, size_t length);
extern TUpperCaseProc UserUpperCaseProc;

// Folds `text` in place with the routine that `type` selects.
void FoldCase(char16_t* text, size_t length, TpmUpperCase type);
void FoldCase(std::u16string& text, TpmUpperCase type);
// Writes the `length` units of `from` folded to `to` (which may be `from`).
void FoldCaseCopy(const char16_t* from, char16_t* to, size_t length, TpmUpperCase type);
std::u16string FoldedCopy(std::u16string_view text, TpmUpperCase type);

// The platform's simple Unicode upper-case mapping of one UTF-16 unit
// (surrogates and characters without an upper case stay as they are).
char16_t UpCaseUnicode(char16_t c);

}  // namespace qm
