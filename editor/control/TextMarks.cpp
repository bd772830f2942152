// Marks of the text: kept in order, moved along with edits, found by position.
#include "editor/control/TextMarks.h"

#include <algorithm>

namespace qm {

void TTextMarks::Set(std::vector<TTextMark> marks) {
  marks_ = std::move(marks);
  std::stable_sort(marks_.begin(), marks_.end(),
                   [](const TTextMark& a, const TTextMark& b) { return a.Start < b.Start; });
  longest_ = 0;
  for (const TTextMark& m : marks_) longest_ = std::max(longest_, m.Length);
}

void TTextMarks::Follow(int32_t start, int32_t stop, int32_t delta) {
  std::erase_if(marks_, [&](const TTextMark& m) { return m.Start < stop && m.Start + m.Length > start; });
  for (TTextMark& m : marks_)
    if (m.Start >= stop) m.Start += delta;
}

std::span<const TTextMark> TTextMarks::Within(int32_t from, int32_t to) const {
  // A mark covering from begins no more than the longest length before it.
  const auto first = std::lower_bound(marks_.begin(), marks_.end(), from - longest_,
                                      [](const TTextMark& m, int32_t v) { return m.Start < v; });
  auto begin = first;
  while (begin != marks_.end() && begin->Start < to && begin->Start + begin->Length <= from) ++begin;
  auto end = begin;
  while (end != marks_.end() && end->Start < to) ++end;
  return {begin, end};
}

const TTextMark* TTextMarks::Heaviest(int32_t from, int32_t to) const {
  const TTextMark* best = nullptr;
  for (const TTextMark& m : Within(from, to))
    if (m.Start + m.Length > from && (best == nullptr || m.Weight > best->Weight)) best = &m;
  return best;
}

const TTextMark* TTextMarks::At(int32_t pos) const {
  for (const TTextMark& m : Within(pos, pos + 1))
    if (pos >= m.Start && pos < m.Start + m.Length) return &m;
  return nullptr;
}

}  // namespace qm
