// The hash table layout the keyword indexes share: keys gathered by text, each slot listing its payloads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "editor/highlight/TextUnits.h"

namespace qm {

// Open addressing over the hashes of the keys (twice as many slots as keys, a
// power of two), each slot listing the payloads of its key in the order the
// keys were given, as a stretch of Payloads; a bit filter over the hashes
// turns most words that are no key away before the slots are touched.
// TSlot is made by MakeSlot(hash, key, first, count) and must have a Count
// field that is 0 for an empty slot.
template <typename TSlot, typename TPayload>
struct TKeyTable {
  std::vector<TSlot> Slots;
  std::vector<TPayload> Payloads;
  std::vector<uint64_t> Filter;
  unsigned FilterShift = 64;  // the filter bit of a hash is its top 64 - FilterShift bits
  size_t Mask = 0;

  bool Empty() const { return Payloads.empty(); }
  // False when no key has this hash.
  bool MayHold(uint64_t hash) const {
    const size_t bit = static_cast<size_t>(hash >> FilterShift);
    return !Payloads.empty() && ((Filter[bit / 64] >> (bit % 64)) & 1) != 0;
  }

  // The filter gets about 16 bits per key, between 2^9 bits and 2^maxFilterBits:
  // small enough to stay in the first-level cache, since every word of every
  // paragraph tests it, large enough to turn away most words that are no key.
  template <typename MakeSlot>
  void Build(const std::vector<std::pair<std::u16string_view, TPayload>>& keys, unsigned maxFilterBits,
             MakeSlot&& makeSlot) {
    size_t size = 16;
    while (size < keys.size() * 2) size *= 2;
    Mask = size - 1;
    // Gather each key's payloads in the order given, then lay them out flat.
    struct Gathered {
      uint64_t Hash = 0;
      std::u16string_view Key;
      std::vector<TPayload> Payloads;
    };
    std::vector<Gathered> gathered(size);
    for (const auto& [key, payload] : keys) {
      const uint64_t hash = scan::HashUnits(key.data(), key.size());
      size_t at = hash & Mask;
      while (!gathered[at].Payloads.empty() && !(gathered[at].Hash == hash && gathered[at].Key == key))
        at = (at + 1) & Mask;
      gathered[at].Hash = hash;
      gathered[at].Key = key;
      gathered[at].Payloads.push_back(payload);
    }
    Slots.assign(size, TSlot{});
    Payloads.clear();
    unsigned filterBits = 9;
    while (filterBits < maxFilterBits && (size_t{1} << filterBits) < keys.size() * 16) ++filterBits;
    FilterShift = 64 - filterBits;
    Filter.assign(keys.empty() ? 0 : (size_t{1} << filterBits) / 64, 0);
    for (size_t at = 0; at < size; ++at) {
      const Gathered& g = gathered[at];
      if (g.Payloads.empty()) continue;
      Slots[at] =
          makeSlot(g.Hash, g.Key, static_cast<uint32_t>(Payloads.size()), static_cast<uint32_t>(g.Payloads.size()));
      Payloads.insert(Payloads.end(), g.Payloads.begin(), g.Payloads.end());
      const auto bit = static_cast<size_t>(g.Hash >> FilterShift);
      Filter[bit / 64] |= uint64_t{1} << (bit % 64);
    }
  }
};

}  // namespace qm
