// The chain's combined keyword index: built from the members' lists, searched once per paragraph.
#include "editor/highlight/ChainKeywordIndex.h"

#include <algorithm>

#include "editor/highlight/KeyOptions.h"

namespace qm {

void TChainKeywordIndex::Table::Build(const std::vector<std::pair<std::u16string_view, Owner>>& keys) {
  TKeyTable::Build(keys, 17, [](uint64_t hash, std::u16string_view key, uint32_t first, uint32_t count) {
    return Slot{hash, key, first, count};
  });
}

const TChainKeywordIndex::Slot* TChainKeywordIndex::Table::Find(uint64_t hash, std::u16string_view key) const {
  for (size_t at = hash & Mask;; at = (at + 1) & Mask) {
    const Slot& slot = Slots[at];
    if (slot.Count == 0) return nullptr;
    if (slot.Hash == hash && slot.Key == key) return &slot;
  }
}

bool TChainKeywordIndex::Current(const Member* members, int count, const TCharSet& separators,
                                 TpmUpperCase upperCase) const {
  if (count != count_ || upperCase != upperCase_) return false;
  for (int m = 0; m < count; ++m) {
    const Seen& s = seen_[static_cast<size_t>(m)];
    if (s.List != members[m].List || s.Searched != members[m].Searched ||
        s.ChangeCount != members[m].List->ChangeCount())
      return false;
  }
  return separators == separators_;
}

void TChainKeywordIndex::Prepare(const Member* members, int count, const TCharSet& separators, TpmUpperCase upperCase) {
  if (!Current(members, count, separators, upperCase)) Rebuild(members, count, separators, upperCase);
}

void TChainKeywordIndex::Rebuild(const Member* members, int count, const TCharSet& separators, TpmUpperCase upperCase) {
  count_ = count;
  separators_ = separators;
  upperCase_ = upperCase;
  minLength_ = INT32_MAX;
  maxLength_ = 0;
  std::vector<std::pair<std::u16string_view, Owner>> exact;
  std::vector<std::pair<std::u16string_view, Owner>> folded;
  for (int m = 0; m < count; ++m) {
    const TKeywordList& list = *members[m].List;
    seen_[static_cast<size_t>(m)] = Seen{&list, list.ChangeCount(), members[m].Searched};
    std::vector<int>& direct = direct_[static_cast<size_t>(m)];
    direct.clear();
    if (!members[m].Searched) continue;
    for (int i = 0; i < list.Count(); ++i) {
      const KeywordEntry& e = list.Entry(i);
      if (!KeywordSearchable(e)) continue;
      const bool hasSeparator =
          std::any_of(e.MatchKey.begin(), e.MatchKey.end(), [&](char16_t c) { return separators.Contains(c); });
      if (!(e.Options & kwoWholeWord) || hasSeparator) {
        direct.push_back(i);
        continue;
      }
      // A whole word without separators can only be one word of the paragraph.
      ((e.Options & kwoMatchCase) ? exact : folded).emplace_back(e.MatchKey, Owner{static_cast<uint32_t>(m), i});
      minLength_ = std::min(minLength_, e.KeyLength);
      maxLength_ = std::max(maxLength_, e.KeyLength);
    }
  }
  exact_.Build(exact);
  folded_.Build(folded);
}

void TChainKeywordIndex::Find(scan::TParagraphText& text,
                              std::array<std::vector<TKeywordMatch>, kMaxMembers>& out) const {
  for (int m = 0; m < count_; ++m) out[static_cast<size_t>(m)].clear();
  const std::u16string_view plain = text.Plain();
  const auto length = static_cast<int32_t>(plain.size());
  const TKeywordStretch whole{0, length, -1, length};
  if (maxLength_ > 0) {
    const std::u16string_view folded = text.Folded(upperCase_);
    const bool haveExact = !exact_.Empty();
    const bool haveFolded = !folded_.Empty();
    auto look = [&](const Table& table, std::u16string_view hay, uint64_t hash, int32_t at, int32_t len) {
      const Slot* slot = table.Find(hash, hay.substr(static_cast<size_t>(at), static_cast<size_t>(len)));
      if (slot == nullptr || !KeywordWholeWordAt(separators_, plain, whole, at, len)) return;
      for (uint32_t n = 0; n < slot->Count; ++n) {
        const Owner& o = table.Payloads[slot->First + n];
        out[o.Member].push_back(TKeywordMatch{o.Entry, at, len});
      }
    };
    for (const scan::TParagraphText::Word& w : text.Words(separators_, upperCase_, haveExact)) {
      if (w.Length < minLength_ || w.Length > maxLength_) continue;
      if (haveExact && exact_.MayHold(w.PlainHash)) look(exact_, plain, w.PlainHash, w.Start, w.Length);
      if (haveFolded && folded_.MayHold(w.FoldedHash)) look(folded_, folded, w.FoldedHash, w.Start, w.Length);
    }
  }
  for (int m = 0; m < count_; ++m) {
    std::vector<TKeywordMatch>& matches = out[static_cast<size_t>(m)];
    const TKeywordList& list = *seen_[static_cast<size_t>(m)].List;
    for (int index : direct_[static_cast<size_t>(m)]) {
      const KeywordEntry& e = list.Entry(index);
      const std::u16string_view hay = (e.Options & kwoMatchCase) ? plain : text.Folded(upperCase_);
      FindKeywordEntry(e, index, separators_, plain, hay, whole, matches);
    }
    // Each member applies its entries in list order, each entry's matches left to right.
    if (matches.size() < 2) continue;
    std::sort(matches.begin(), matches.end(), [](const TKeywordMatch& a, const TKeywordMatch& b) {
      return a.Entry != b.Entry ? a.Entry < b.Entry : a.Offset < b.Offset;
    });
  }
}

}  // namespace qm
