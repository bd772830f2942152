// Case folding routines; the Unicode mapping is tabulated once from the C library.
#include "editor/store/CaseFolding.h"

#include <locale.h>
#include <wctype.h>

#include <algorithm>
#include <array>
#include <memory>

#include "editor/store/WideStr.h"

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

namespace {

char16_t FoldAsciiUnit(char16_t c) {
  return static_cast<char16_t>(c - (static_cast<char16_t>(c - u'a') < 26 ? 32 : 0));
}

// Branch-free and in blocks of a fixed size, so that the compiler folds a
// block with a few vector instructions; the scan folds every paragraph.
void FoldAsciiCopy(const char16_t* from, char16_t* to, size_t length) {
  constexpr size_t kBlock = 8;
  size_t i = 0;
  for (; i + kBlock <= length; i += kBlock) {
    char16_t block[kBlock];
    for (size_t k = 0; k < kBlock; ++k) block[k] = FoldAsciiUnit(from[i + k]);
    for (size_t k = 0; k < kBlock; ++k) to[i + k] = block[k];
  }
  for (; i < length; ++i) to[i] = FoldAsciiUnit(from[i]);
}

}  // namespace

void FoldCaseCopy(const char16_t* from, char16_t* to, size_t length, TpmUpperCase type) {
  if (type == pmuAscii || (type == pmuUserDefined && UserUpperCaseProc == nullptr)) {
    FoldAsciiCopy(from, to, length);
    return;
  }
  if (from != to) std::copy(from, from + length, to);
  FoldCase(to, length, type);
}

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
  FoldAsciiCopy(text, text, length);
}

void FoldCase(std::u16string& text, TpmUpperCase type) { FoldCase(text.data(), text.size(), type); }

std::u16string FoldedCopy(std::u16string_view text, TpmUpperCase type) {
  std::u16string copy(text);
  FoldCase(copy, type);
  return copy;
}

}  // namespace qm
