// TTextMarks: stretches of the text marked with a wavy underline and a hint (the problems a checker found).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "editor/store/Types.h"

namespace qm {

struct TTextMark {
  int32_t Start = 0;  // absolute position (the position rule)
  int32_t Length = 1;
  TColor Colour = 255;
  uint8_t Weight = 0;  // where marks share a line, the gutter shows the heaviest
  std::u16string Hint;
};

// The marks of a text in the order of their starts. They follow edits as
// navigators do; a mark that an edit cuts into is dropped (its owner marks
// the text anew).
class TTextMarks {
 public:
  void Set(std::vector<TTextMark> marks);
  void Clear() { marks_.clear(); }
  const std::vector<TTextMark>& All() const { return marks_; }
  // After text from start to stop was replaced by text delta positions longer.
  void Follow(int32_t start, int32_t stop, int32_t delta);
  // The marks that begin before `to` and may reach `from`, in order; a caller
  // tests each (a short mark among longer ones may end before `from`).
  std::span<const TTextMark> Within(int32_t from, int32_t to) const;
  // The heaviest mark covering some of from … to, or nullptr.
  const TTextMark* Heaviest(int32_t from, int32_t to) const;
  // The mark covering position pos (the character after it), or nullptr.
  const TTextMark* At(int32_t pos) const;

 private:
  std::vector<TTextMark> marks_;
  int32_t longest_ = 0;  // the longest mark, so that a search knows how far back a mark may begin
};

}  // namespace qm
