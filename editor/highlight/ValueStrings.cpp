// Name-value lines and integer parsing with the standard conversion error.
#include "editor/highlight/ValueStrings.h"

#include <limits>

#include "editor/store/WideStr.h"
#include "platform/CodePage.h"
#include "platform/Exceptions.h"

namespace qm {

void SetValue(TValueStrings& lines, std::u16string_view name, std::u16string_view value) {
  const std::u16string folded = UpperCaseAscii(name);
  for (std::u16string& line : lines) {
    const size_t eq = line.find(u'=');
    if (eq == std::u16string::npos) continue;
    if (UpperCaseAscii(std::u16string_view(line).substr(0, eq)) == folded) {
      line = std::u16string(name) + u"=" + std::u16string(value);
      return;
    }
  }
  lines.push_back(std::u16string(name) + u"=" + std::u16string(value));
}

int32_t StrToInt(std::u16string_view text) {
  auto fail = [&]() -> int32_t { throw EConvertError(FormatMessage(kNotAValidInteger, WideToUtf8(text))); };
  size_t i = 0;
  while (i < text.size() && text[i] == u' ') ++i;  // leading blanks are allowed
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
  int base = 10;
  if (i < text.size() && text[i] == u'$') {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
    base = 16;
    i += 2;
  }
  if (i >= text.size()) return fail();
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    const char16_t c = text[i];
    int digit;
    if (c >= u'0' && c <= u'9')
      digit = c - u'0';
    else if (base == 16 && c >= u'a' && c <= u'f')
      digit = c - u'a' + 10;
    else if (base == 16 && c >= u'A' && c <= u'F')
      digit = c - u'A' + 10;
    else
      return fail();
    value = value * base + digit;
    if (value > (base == 16 ? int64_t{0xFFFFFFFF} : int64_t{std::numeric_limits<int32_t>::max()} + 1)) return fail();
  }
  if (base == 16) {
    const int32_t bits = static_cast<int32_t>(static_cast<uint32_t>(value));
    return negative ? -bits : bits;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<int32_t>::max() || value < std::numeric_limits<int32_t>::min()) return fail();
  return static_cast<int32_t>(value);
}

int32_t TNumberReader::Next() {
  size_t stop = text_.find(u',', at_);
  if (stop == std::u16string_view::npos) stop = text_.size();
  const std::u16string_view number = text_.substr(at_, stop - at_);
  at_ = stop < text_.size() ? stop + 1 : stop;
  return StrToInt(number);
}

}  // namespace qm
