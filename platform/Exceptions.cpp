// Formatting of the fixed exception messages.
#include "platform/Exceptions.h"

namespace qm {

std::string FormatMessage(const char* pattern, const std::string& argument) {
  std::string text(pattern);
  const auto at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, argument);
  return text;
}

}  // namespace qm
