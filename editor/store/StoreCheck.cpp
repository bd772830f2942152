// Invariant check of the paragraph store.
#include "editor/store/StoreCheck.h"

#include "platform/Exceptions.h"

namespace qm {
namespace {

[[noreturn]] void Fail(const char* code, const std::string& ident, int paragraph) {
  std::string where = ident;
  if (paragraph >= 0) where += " (paragraph " + std::to_string(paragraph) + ")";
  throw Exception(std::string(code) + where);
}

}  // namespace

void VerifyStore(const TParagraphsList& list, const std::string& ident) {
  int64_t lines = 0;
  int64_t offset = 0;
  for (int i = 0; i < list.Count; ++i) {
    if (list.StartLine(i) != lines) Fail("Error 1", ident, i);
    if (list.StartOffset(i) != offset) Fail("Error 2 in ", ident, i);
    const int count = list.LineCountOf(i);
    int32_t stop = 0;
    for (int l = 0; l < count; ++l) {
      const TLineInfo line = list.LineInfo(i, l);
      if (line.LineStart != stop) Fail("Error 3 in ", ident, i);
      stop = line.LineStop;
    }
    if (stop != list.Length(i)) Fail("Error 4 in ", ident, i);
    lines += count;
    offset += list.Length(i) + 2;
  }
  if (static_cast<int64_t>(list.TextLength) + 2 != offset) Fail("Error 5 in ", ident, -1);
  if (list.LineCount != lines) Fail("Error 6 in ", ident, -1);
}

}  // namespace qm
