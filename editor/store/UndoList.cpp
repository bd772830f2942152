// Undo records and the limits on their number and size.
#include "editor/store/UndoList.h"

#include <algorithm>

namespace qm {

void TUndoList::Clear() {
  records_.clear();
  Position = 0;
  Space = 0;
}

void TUndoList::Truncate(int index) {
  index = std::max(index, 0);
  while (Count() > index) {
    Space -= records_.back()->Space();
    records_.pop_back();
  }
  Position = std::min(Position, Count());
}

void TUndoList::DropOldest(int n) {
  n = std::min(n, Count());
  if (n <= 0) return;
  for (int i = 0; i < n; ++i) Space -= records_[static_cast<size_t>(i)]->Space();
  records_.erase(records_.begin(), records_.begin() + n);
  Position = std::max(Position - n, 0);
}

void TUndoList::Append(std::unique_ptr<TUndoRecord> record) {
  Space += record->Space();
  records_.push_back(std::move(record));
}

void TUndoList::Replace(int index, std::unique_ptr<TUndoRecord> record) {
  Space -= records_[static_cast<size_t>(index)]->Space();
  Space += record->Space();
  records_[static_cast<size_t>(index)] = std::move(record);
}

void TUndoList::FitLevel(int32_t level) {
  Truncate(std::max(Position, level));
  if (level < Position) DropOldest(Position - level);
}

void TUndoList::FitSpace(int64_t space) {
  while (Space > space && Count() > Position) Truncate(Count() - 1);
  while (Space > space && Position > 0) DropOldest(1);
}

}  // namespace qm
