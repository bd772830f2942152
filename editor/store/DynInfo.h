// Style runs inside paragraphs (TDynInfo) and the table that shares equal attribute blocks.
#pragma once

#include <cstdint>
#include <vector>

#include "editor/store/Types.h"

namespace qm {

// Bits of the Kind byte of a style.
inline constexpr uint8_t dkHighlight = 0x80;  // the run carries highlight attributes
inline constexpr uint8_t dkKeyOpened = 0x40;  // the run was opened by a key; Level is valid
inline constexpr uint8_t dkKeyStyle = 0xC0;   // both of the above
inline constexpr int kMaxKeyLevel = 15;

// How a run's key stack holds its keys: a keyword (or a number run's keyword
// base) as its index, 0 … kMaxStackIndex; a start-stop span as its global
// start-stop index minus kSpanBias, a negative number.
inline constexpr int kSpanBias = 32768;
inline constexpr int kMaxStackIndex = 32767;
constexpr int16_t SpanEntry(int key) { return static_cast<int16_t>(key - kSpanBias); }
// The index a stack entry holds, span or keyword.
constexpr int StackIndex(int16_t entry) { return entry & kMaxStackIndex; }

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
  // The passes copy and set this length but never decide by it: the repeated-lines table of
  // paragraph outcomes relies on that (see TRepeatedLines::Key).
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
  // The number of a style derived from style `base` by a change that the
  // three words describe (a caller's own encoding, its kind in the top byte
  // of `a`); `make` builds the derived block when the small cache of recent
  // derivations does not know it. The passes derive the same few styles over
  // and over, and a cache hit costs less than interning the block.
  template <typename Make>
  uint32_t Derived(uint32_t base, uint64_t a, uint64_t b, uint64_t c, Make&& make) {
    Derivation& d = derived_[DerivationSlot(base, a, b, c)];
    if (d.Valid && d.Base == base && d.A == a && d.B == b && d.C == c) return d.Id;
    const uint32_t id = Intern(make());
    d = Derivation{a, b, c, base, id, true};
    return id;
  }
  size_t Size() const { return styles_.size(); }
  void Clear();

 private:
  static uint64_t HashOf(const TDynInfo& s);
  void Grow();

  struct Derivation {
    uint64_t A = 0;
    uint64_t B = 0;
    uint64_t C = 0;
    uint32_t Base = 0;
    uint32_t Id = 0;
    bool Valid = false;
  };
  static constexpr size_t kDerivations = 8192;
  size_t DerivationSlot(uint32_t base, uint64_t a, uint64_t b, uint64_t c) {
    if (derived_.empty()) derived_.resize(kDerivations);
    uint64_t h = (base * 0x9e3779b97f4a7c15ULL) ^ a;
    h = (h * 0xff51afd7ed558ccdULL) ^ b;
    h = (h * 0xc4ceb9fe1a85ec53ULL) ^ c;
    h *= 0xff51afd7ed558ccdULL;
    return static_cast<size_t>(h >> 51);  // 13 bits: kDerivations slots
  }

  std::vector<TDynInfo> styles_;
  std::vector<Derivation> derived_;
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
