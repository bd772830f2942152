// The item list's matching fold.
#include "app/MatchFold.h"

namespace qm {

std::string MatchFold(std::string_view text) {
  std::string folded(text);
  for (char& c : folded) {
    const auto b = static_cast<unsigned char>(c);
    if ((b >= 'a' && b <= 'z') || b >= 224)
      c = static_cast<char>(b - 32);
    else if (b == 184)
      c = static_cast<char>(168);
  }
  return folded;
}

}  // namespace qm
