// Attribute blocks: comparison, hashing and the shared style table.
#include "editor/store/DynInfo.h"

#include <cstring>

namespace qm {
bool TDynInfo::SameAttributes(const TDynInfo& o) const {
  return Kind == o.Kind && Level == o.Level && Background == o.Background && Foreground == o.Foreground &&
         ContextNum == o.ContextNum && Cursor == o.Cursor && OpenKeyLength == o.OpenKeyLength &&
         CloseKeyLength == o.CloseKeyLength && std::memcmp(KeyStack, o.KeyStack, sizeof(KeyStack)) == 0;
}

uint64_t TStyleTable::HashOf(const TDynInfo& s) {
  // The deeper key-stack entries are left to the compare: they rarely tell styles apart.
  uint64_t words[5];
  words[0] = static_cast<uint64_t>(s.Kind) | (static_cast<uint64_t>(static_cast<uint8_t>(s.Level)) << 8) |
             (static_cast<uint64_t>(s.OpenKeyLength) << 16) | (static_cast<uint64_t>(s.CloseKeyLength) << 24) |
             (static_cast<uint64_t>(static_cast<uint16_t>(s.Cursor)) << 32);
  words[1] = static_cast<uint64_t>(static_cast<uint32_t>(s.Background)) |
             (static_cast<uint64_t>(static_cast<uint32_t>(s.Foreground)) << 32);
  words[2] = static_cast<uint32_t>(s.ContextNum);
  std::memcpy(&words[3], s.KeyStack, 2 * sizeof(uint64_t));
  uint64_t h = 0x9e3779b97f4a7c15ULL;
  for (uint64_t w : words) {
    h = (h ^ w) * 0xff51afd7ed558ccdULL;
    h ^= h >> 32;
  }
  return h;
}

TStyleTable::TStyleTable() { Clear(); }

void TStyleTable::Clear() {
  derived_.clear();  // the numbers it remembers are gone
  styles_.assign(1, TDynInfo{});
  slots_.assign(64, Slot{});
  mask_ = slots_.size() - 1;
  const uint64_t h = HashOf(styles_[0]);
  slots_[h & mask_] = Slot{h, 0, true};
}

void TStyleTable::Grow() {
  std::vector<Slot> old;
  old.swap(slots_);
  slots_.assign(old.size() * 2, Slot{});
  mask_ = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (!slot.Used) continue;
    size_t at = slot.Hash & mask_;
    while (slots_[at].Used) at = (at + 1) & mask_;
    slots_[at] = slot;
  }
}

uint32_t TStyleTable::Intern(const TDynInfo& style) {
  const uint64_t h = HashOf(style);
  size_t at = h & mask_;
  for (; slots_[at].Used; at = (at + 1) & mask_)
    if (slots_[at].Hash == h && styles_[slots_[at].Id].SameAttributes(style)) return slots_[at].Id;
  const auto id = static_cast<uint32_t>(styles_.size());
  TDynInfo key = style;
  key.Offset = 0;
  styles_.push_back(key);
  slots_[at] = Slot{h, id, true};
  if (styles_.size() * 2 > slots_.size()) Grow();
  return id;
}

}  // namespace qm
