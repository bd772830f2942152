// Style runs inside paragraphs (TDynInfo) and the table that shares equal attribute blocks.
#pragma once

#include <cstdint>
#include <unordered_map>
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
  struct Hash {
    size_t operator()(const TDynInfo& s) const;
  };
  struct Equal {
    bool operator()(const TDynInfo& a, const TDynInfo& b) const { return a.SameAttributes(b); }
  };
  std::vector<TDynInfo> styles_;
  std::unordered_map<TDynInfo, uint32_t, Hash, Equal> index_;
  // The passes intern the same few styles over and over (a keyword's and the
  // one it restores): a small cache of recent numbers saves the hashing.
  static constexpr size_t kRecent = 4;
  uint32_t recent_[kRecent] = {};
  size_t recentNext_ = 0;
};

}  // namespace qm
