// Style runs inside paragraphs (TDynInfo) and the table that shares equal attribute blocks.
#pragma once

#include <cstdint>
#include <vector>

#include "editor/Types.h"

namespace qm {

// Bits of the Kind byte of a style.
inline constexpr uint8_t dkHighlight = 0x80;  // the run carries highlight attributes
inline constexpr uint8_t dkKeyOpened = 0x40;  // the run was opened by a key; Level is valid
inline constexpr uint8_t dkKeyStyle = 0xC0;   // both of the above
inline constexpr int kMaxKeyLevel = 15;

// One style change inside a paragraph: Offset is the paragraph offset at which
// it takes effect; the rest is the attribute block the highlighting scan writes.
struct TDynInfo {
  int32_t Offset = 0;
  uint8_t Kind = 0;
  int8_t Level = -1;
  TColor Background = 0;
  TColor Foreground = 0;
  int32_t ContextNum = 0;
  int16_t Cursor = 0;
  int16_t KeyStack[kMaxKeyLevel + 1] = {};
  uint8_t OpenKeyLength = 0;
  uint8_t CloseKeyLength = 0;

  // Level when the style was opened by a key, else -1.
  int KeyLevel() const { return Kind >= dkKeyStyle ? Level : -1; }
  // The context number when the style carries highlight attributes, else 0.
  int32_t Context() const { return (Kind & dkHighlight) ? ContextNum : 0; }
  // Equal attribute blocks, every key-stack entry included (the offset does not count).
  bool SameAttributes(const TDynInfo& other) const;
};

// A run as a paragraph stores it: the offset and the number of its attribute
// block in the store's style table.
struct TRunRec {
  int32_t Offset;
  uint32_t Attr;
};

// Shares attribute blocks: equal blocks get one number, so that a highlighted
// text costs 8 bytes per run. Number 0 is the default style.
class TStyleTable {
 public:
  TStyleTable();
  uint32_t Intern(const TDynInfo& style);
  // The block of number id, with Offset 0.
  const TDynInfo& Get(uint32_t id) const { return styles_[id]; }
  size_t Size() const { return styles_.size(); }
  void Clear();

 private:
  static uint64_t HashOf(const TDynInfo& s);
  void Grow();

  std::vector<TDynInfo> styles_;
  // Open addressing over the numbers, with each block's hash beside it; the
  // passes intern a style for nearly every run they make, so a lookup must
  // cost a hash and a compare or two.
  struct Slot {
    uint64_t Hash = 0;
    uint32_t Id = 0;
    bool Used = false;
  };
  std::vector<Slot> slots_;
  size_t mask_ = 0;
};

}  // namespace qm
