// The style runs of one paragraph held aside while the highlighting passes rework them, then stored back at once.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "editor/store/DynInfo.h"
#include "editor/store/Paragraphs.h"

namespace qm::scan {

class TLevelsMet;

// A working copy of one paragraph's runs. The passes insert and remove runs
// here, and Store writes the result into the paragraph with one copy. The
// runs sit in a gap buffer: the passes work from the start of the paragraph
// to its end, so each insertion or removal moves only the runs between it and
// the one before, and a paragraph with a million runs costs no more per run
// than a short one.
class TRunBuffer {
 public:
  void Load(TParagraphsList& list, int par);
  // Writes the runs back when they changed.
  void Store();

  TParagraphsList& List() const { return *list_; }
  int Par() const { return par_; }
  // Length of the paragraph (its text does not change under the passes).
  int32_t Length() const { return length_; }
  // The paragraph is the last of the text.
  bool IsLast() const { return last_; }
  int Count() const { return static_cast<int>(runs_.size() - gapLength_); }
  int32_t Offset(int k) const { return At(k).Offset; }
  uint32_t Attr(int k) const { return At(k).Attr; }
  // The attribute block of run k (Offset 0); valid until the style table grows.
  const TDynInfo& Style(int k) const { return list_->Styles.Get(Attr(k)); }
  // Run k with its offset. Raises ERangeError outside the runs.
  TDynInfo Run(int k) const;
  uint32_t StartStyleId() const { return startStyle_; }
  const TDynInfo& StartStyle() const { return list_->Styles.Get(startStyle_); }

  // Index of the first run with Offset > x (pastRuns) or >= x. Inline: the
  // passes ask at every step, over a handful of runs.
  int FirstRun(int32_t x, bool pastRuns) const {
    int lo = 0;
    int hi = Count();
    while (lo < hi) {
      const int mid = (lo + hi) / 2;
      const int32_t at = At(mid).Offset;
      if (at < x || (pastRuns && at == x))
        lo = mid + 1;
      else
        hi = mid;
    }
    return lo;
  }
  // The style number in effect at x (see scan::StyleAt).
  uint32_t StyleIdAt(int32_t x, bool pastRuns) const {
    const int k = FirstRun(x, pastRuns);
    return k > 0 ? Attr(k - 1) : startStyle_;
  }
  // The style in effect at x, with the offset of the run that holds it.
  TDynInfo StyleAt(int32_t x, bool pastRuns) const;

  void Insert(int k, int32_t offset, uint32_t attr);
  void Insert(int k, const TDynInfo& run) { Insert(k, run.Offset, list_->Styles.Intern(run)); }
  void Set(int k, const TDynInfo& run);
  void Erase(int k, int count);
  // The paragraph must be laid out again (done on Store).
  void ClearLaidOut() {
    clearLaidOut_ = true;
    changed_ = true;
  }
  bool ClearsLaidOut() const { return clearLaidOut_; }
  // What the passes read of the paragraphs before this one since Load: the
  // style they found in effect below a key level (see OuterStyle). Mixed
  // when they looked for more than one level or found different styles.
  struct TLookBack {
    int Level = -1;
    uint32_t Style = 0;
    bool Mixed = false;
  };
  const TLookBack& LookBack() const { return lookBack_; }
  void NoteLookBack(int level, uint32_t style) const;
  // The levels a long catch-up met before this paragraph, which answer the
  // look-back without reading the block above; null outside one (and after Load).
  const TLevelsMet* Levels() const { return levels_; }
  void SetLevels(const TLevelsMet* levels) { levels_ = levels; }
  // The closing key lengths the passes set on a copy of a style at its own
  // level since Load (a span opening after it, closing, or going on as
  // another): a run that carries such a length may have it from the copy
  // rather than from the paragraph's start style.
  void NoteCloseLengthSet(uint8_t length) { closeLengthsSet_[length >> 6] |= uint64_t{1} << (length & 63); }
  bool CloseLengthSet(uint8_t length) const { return (closeLengthsSet_[length >> 6] >> (length & 63)) & 1; }
  // The runs in order.
  void CopyRuns(std::vector<TRunRec>& out) const;

 private:
  const TRunRec& At(int k) const {
    const auto i = static_cast<size_t>(k);
    return runs_[i < gapStart_ ? i : i + gapLength_];
  }
  TRunRec& At(int k) { return const_cast<TRunRec&>(std::as_const(*this).At(k)); }
  // Moves the gap so that it starts before logical run k.
  void MoveGap(size_t k);
  // Closes the gap: the runs become one array.
  void CloseGap() {
    MoveGap(runs_.size() - gapLength_);
    runs_.resize(runs_.size() - gapLength_);
    gapLength_ = 0;
  }

  TParagraphsList* list_ = nullptr;
  int par_ = 0;
  int32_t length_ = 0;
  bool last_ = false;
  uint32_t startStyle_ = 0;
  bool changed_ = false;
  bool clearLaidOut_ = false;
  mutable TLookBack lookBack_;
  const TLevelsMet* levels_ = nullptr;
  std::array<uint64_t, 4> closeLengthsSet_{};
  std::vector<TRunRec> runs_;  // the runs with a gap of unused records inside
  size_t gapStart_ = 0;
  size_t gapLength_ = 0;
};

// A buffer taken from a process-wide pool for the length of one pass, so
// that its storage is reused from paragraph to paragraph; a pass that runs
// inside another (from an event) gets a buffer of its own.
class TRunBufferLease {
 public:
  TRunBufferLease();
  ~TRunBufferLease();
  TRunBufferLease(const TRunBufferLease&) = delete;
  TRunBufferLease& operator=(const TRunBufferLease&) = delete;
  TRunBuffer& operator*() const { return *buffer_; }
  TRunBuffer* operator->() const { return buffer_.get(); }

 private:
  std::unique_ptr<TRunBuffer> buffer_;
};

}  // namespace qm::scan
