// The editor's undo list: records of replaced ranges, the undo position and the space they hold.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qm {

// One replacement: the range the new text took, and the text it replaced.
struct TUndoRecord {
  int32_t Start = 0;
  int32_t Stop = 0;
  bool Linked = false;  // undo and redo of this record also perform the one before
  std::u16string Text;

  // What a record counts in the undo space, in characters.
  int64_t Space() const { return static_cast<int64_t>(Text.size()) + 13; }
};

class TUndoList {
 public:
  static constexpr int32_t kMaxLevel = 134217727;

  int Count() const { return static_cast<int>(records_.size()); }
  TUndoRecord& operator[](int i) { return *records_[static_cast<size_t>(i)]; }
  const TUndoRecord& operator[](int i) const { return *records_[static_cast<size_t>(i)]; }

  void Clear();
  // Deletes the records from index on (redo records).
  void Truncate(int index);
  // Deletes the n oldest records.
  void DropOldest(int n);
  void Append(std::unique_ptr<TUndoRecord> record);
  void Replace(int index, std::unique_ptr<TUndoRecord> record);
  // Shrinks to the limits: redo records first, then the oldest.
  void FitLevel(int32_t level);
  void FitSpace(int64_t space);

  int32_t Position = 0;  // records before it can be undone, from it on redone
  int64_t Space = 0;     // characters held by all records

 private:
  std::vector<std::unique_ptr<TUndoRecord>> records_;
};

}  // namespace qm
