// Attribute blocks: comparison, hashing and the shared style table.
#include "editor/DynInfo.h"

#include <functional>

namespace qm {
bool TDynInfo::SameAttributes(const TDynInfo& o) const {
  if (Kind != o.Kind || Level != o.Level || Background != o.Background || Foreground != o.Foreground ||
      ContextNum != o.ContextNum || Cursor != o.Cursor || OpenKeyLength != o.OpenKeyLength ||
      CloseKeyLength != o.CloseKeyLength)
    return false;
  for (int i = 0; i <= kMaxKeyLevel; ++i)
    if (KeyStack[i] != o.KeyStack[i]) return false;
  return true;
}

size_t TStyleTable::Hash::operator()(const TDynInfo& s) const {
  size_t h = static_cast<size_t>(s.Kind) | (static_cast<size_t>(static_cast<uint8_t>(s.Level)) << 8) |
             (static_cast<size_t>(s.OpenKeyLength) << 16) | (static_cast<size_t>(s.CloseKeyLength) << 24);
  auto mix = [&h](uint64_t v) { h ^= std::hash<uint64_t>()(v) + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2); };
  mix(static_cast<uint32_t>(s.Background));
  mix(static_cast<uint32_t>(s.Foreground));
  mix(static_cast<uint32_t>(s.ContextNum));
  mix(static_cast<uint16_t>(s.Cursor));
  for (int i = 0; i <= kMaxKeyLevel; ++i) mix(static_cast<uint16_t>(s.KeyStack[i]));
  return h;
}

TStyleTable::TStyleTable() { Clear(); }

void TStyleTable::Clear() {
  styles_.assign(1, TDynInfo{});
  index_.clear();
  index_.emplace(styles_[0], 0);
  for (uint32_t& id : recent_) id = 0;
}

uint32_t TStyleTable::Intern(const TDynInfo& style) {
  for (uint32_t id : recent_)
    if (styles_[id].SameAttributes(style)) return id;
  TDynInfo key = style;
  key.Offset = 0;
  const auto it = index_.find(key);
  if (it != index_.end()) {
    recent_[recentNext_++ % kRecent] = it->second;
    return it->second;
  }
  const auto id = static_cast<uint32_t>(styles_.size());
  styles_.push_back(key);
  index_.emplace(key, id);
  recent_[recentNext_++ % kRecent] = id;
  return id;
}

}  // namespace qm
