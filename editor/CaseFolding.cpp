// Case folding routines; the Unicode mapping is tabulated once from the C library.
#include "editor/CaseFolding.h"

#include <locale.h>
#include <wctype.h>

#include <array>
#include <memory>

#include "editor/WideStr.h"

namespace qm {

TUpperCaseProc UserUpperCaseProc = nullptr;

namespace {

// A 64K table of the upper-case of every BMP unit, built on first use.
const std::array<char16_t, 65536>& UnicodeUpperTable() {
  static const auto table = [] {
    auto t = std::make_unique<std::array<char16_t, 65536>>();
    locale_t loc = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    for (unsigned c = 0; c < 65536; ++c) {
      char16_t upper = static_cast<char16_t>(c);
      if (c >= 0xD800 && c < 0xE000) {
        // surrogates stay
      } else if (loc != static_cast<locale_t>(0)) {
        const wint_t u = towupper_l(static_cast<wint_t>(c), loc);
        if (u < 65536) upper = static_cast<char16_t>(u);
      } else {
        upper = UpCaseAscii(static_cast<char16_t>(c));
      }
      (*t)[c] = upper;
    }
    if (loc != static_cast<locale_t>(0)) freelocale(loc);
    return t;
  }();
  return *table;
}

}  // namespace

char16_t UpCaseUnicode(char16_t c) { return UnicodeUpperTable()[c]; }

void FoldCase(char16_t* text, size_t length, TpmUpperCase type) {
  if (type == pmuUserDefined && UserUpperCaseProc != nullptr) {
    UserUpperCaseProc(text, length);
    return;
  }
  if (type == pmuAnsi) {
    const auto& table = UnicodeUpperTable();
    for (size_t i = 0; i < length; ++i) text[i] = table[text[i]];
    return;
  }
  for (size_t i = 0; i < length; ++i)
    if (text[i] >= u'a' && text[i] <= u'z') text[i] = static_cast<char16_t>(text[i] - 32);
}

void FoldCase(std::u16string& text, TpmUpperCase type) { FoldCase(text.data(), text.size(), type); }

std::u16string FoldedCopy(std::u16string_view text, TpmUpperCase type) {
  std::u16string copy(text);
  FoldCase(copy, type);
  return copy;
}

}  // namespace qm
