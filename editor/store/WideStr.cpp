// Plain wide-string routines.
#include "editor/store/WideStr.h"

namespace qm {

size_t WStrLen(const char16_t* s) {
  if (s == nullptr) return 0;
  size_t n = 0;
  while (s[n] != 0) ++n;
  return n;
}

char16_t UpCaseAscii(char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c; }

void UpperCaseAscii(std::u16string& s) {
  for (char16_t& c : s) c = UpCaseAscii(c);
}

std::u16string UpperCaseAscii(std::u16string_view s) {
  std::u16string r(s);
  UpperCaseAscii(r);
  return r;
}

size_t WStrPos(std::u16string_view hay, std::u16string_view needle, size_t from) { return hay.find(needle, from); }

bool IsFormatCode(char16_t c) { return (c >= 1 && c <= 4) || c == 21; }

std::u16string StripFormatCodes(std::u16string_view s) {
  std::u16string r;
  r.reserve(s.size());
  for (char16_t c : s)
    if (!IsFormatCode(c)) r.push_back(c);
  return r;
}

}  // namespace qm
