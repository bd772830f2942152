// The key levels a long catch-up has met, paragraph by paragraph: the look-back for the style outside a span, quick.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

#include "editor/store/DynInfo.h"
#include "editor/store/Paragraphs.h"

namespace qm::scan {

uint32_t OuterStyleBefore(const TParagraphsList& list, int par, int level, int32_t& offset);

// The lowest key level of a start style and runs.
inline int LowestLevel(const TStyleTable& styles, uint32_t startId, const TRunRec* runs, size_t count) {
  int lowest = styles.Get(startId).KeyLevel();
  for (size_t k = 0; k < count; ++k) lowest = std::min(lowest, styles.Get(runs[k].Attr).KeyLevel());
  return lowest;
}

// The levels a catch-up has met, so that the look-back for the style in
// effect below a level (see OuterStyleBefore) reads one paragraph instead of
// every line of the block above (a block's end looks back past its start):
// for each key level, the last paragraph whose start style or a run has that
// level as its lowest. Every paragraph from the first on is noted in turn,
// before the ones after it are worked on.
class TLevelsMet {
 public:
  explicit TLevelsMet(int first) : first_(first), noted_(first - 1) { last_.fill(-1); }

  void Note(int par, int lowest) {
    last_[static_cast<size_t>(lowest + 1)] = par;
    noted_ = par;
  }
  // Notes the paragraphs before par that were not noted, from their records.
  void NoteUpTo(const TParagraphsList& list, int par) {
    while (noted_ + 1 < par) {
      const int p = noted_ + 1;
      const ParExtraInfo* e = list.Extra(p);
      Note(p, e == nullptr ? -1 : LowestLevel(list.Styles, e->StartStyle, e->Runs(), e->RunCount));
    }
  }
  // Whether every paragraph of the catch-up before par is noted, and par is not.
  bool Covers(int par) const { return noted_ + 1 == par; }
  // OuterStyleBefore(list, par, level, offset) for the paragraph after the last one noted.
  uint32_t OuterStyleBefore(const TParagraphsList& list, int par, int level, int32_t& offset) const {
    int below = -1;  // the last paragraph holding a level below `level`
    for (int m = 0; m <= level; ++m) below = std::max(below, last_[static_cast<size_t>(m)]);
    return scan::OuterStyleBefore(list, below >= 0 ? below + 1 : std::min(first_, par), level, offset);
  }
  uint32_t OuterStyleBefore(const TParagraphsList& list, int par, int level) const {
    int32_t offset = 0;
    return OuterStyleBefore(list, par, level, offset);
  }

 private:
  int first_;
  int noted_;
  std::array<int, kMaxKeyLevel + 2> last_;  // by level + 1, from the default style's -1
};

}  // namespace qm::scan
