// Name-value lines ("name=v1,v2,...,") of the lists' textual forms.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

using TValueStrings = std::vector<std::u16string>;

// Sets the value of the first line named `name` (names compare without
// regard to ASCII case), or appends "name=value".
void SetValue(TValueStrings& lines, std::u16string_view name, std::u16string_view value);

// Reads comma-separated decimal numbers: each runs to the next "," or the
// end, and one "," after it is passed over.
class TNumberReader {
 public:
  explicit TNumberReader(std::u16string_view text) : text_(text) {}
  bool AtEnd() const { return at_ >= text_.size(); }
  // Raises EConvertError "'%s' is not a valid integer value".
  int32_t Next();

 private:
  std::u16string_view text_;
  size_t at_ = 0;
};

// Parses a whole decimal integer (optional sign, or $ hexadecimal) or raises
// EConvertError "'%s' is not a valid integer value".
int32_t StrToInt(std::u16string_view text);

}  // namespace qm
