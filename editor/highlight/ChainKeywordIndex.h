// One keyword lookup for a run of extended highlighters that split paragraphs into the same words.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "editor/highlight/KeyTable.h"
#include "editor/highlight/KeywordList.h"
#include "editor/highlight/KeywordPass.h"
#include "editor/highlight/Scan.h"
#include "editor/store/Types.h"

namespace qm {

class TCustomExtHighlighterU;

// The keyword lists of up to kMaxMembers highlighters along a chain, hashed
// together so that each word of a paragraph is hashed and looked up once for
// all of them. Each member's matches come out exactly as its own
// TKeywordIndex finds them over the whole paragraph.
class TChainKeywordIndex {
 public:
  static constexpr int kMaxMembers = 8;

  // One highlighter of the run: its list, and whether its pass runs at all.
  struct Member {
    const TKeywordList* List = nullptr;
    bool Searched = false;
  };

  // Rebuilds when a member, a list, the separators or the case folding changed since the last call.
  void Prepare(const Member* members, int count, const TCharSet& separators, TpmUpperCase upperCase);
  // The matches of every member over the whole paragraph (out[m] emptied first).
  void Find(scan::TParagraphText& text, std::array<std::vector<TKeywordMatch>, kMaxMembers>& out) const;

 private:
  bool Current(const Member* members, int count, const TCharSet& separators, TpmUpperCase upperCase) const;
  void Rebuild(const Member* members, int count, const TCharSet& separators, TpmUpperCase upperCase);

  // A key's owner: the member and the entry's local index.
  struct Owner {
    uint32_t Member;
    int Entry;
  };
  struct Slot {
    uint64_t Hash = 0;
    std::u16string_view Key;
    uint32_t First = 0;
    uint32_t Count = 0;  // 0: empty slot
  };
  // The keys of all members; each slot lists the owners of its key in member
  // order, then list order.
  struct Table : TKeyTable<Slot, Owner> {
    void Build(const std::vector<std::pair<std::u16string_view, Owner>>& keys);
    const Slot* Find(uint64_t hash, std::u16string_view key) const;
  };

  struct Seen {
    const TKeywordList* List = nullptr;
    uint32_t ChangeCount = 0;
    bool Searched = false;
  };
  std::array<Seen, kMaxMembers> seen_{};
  int count_ = -1;
  TCharSet separators_;
  TpmUpperCase upperCase_ = pmuAscii;

  Table exact_;                                       // keys compared with case
  Table folded_;                                      // keys compared without case
  std::array<std::vector<int>, kMaxMembers> direct_;  // entries searched in the text directly
  int32_t minLength_ = 0;
  int32_t maxLength_ = 0;
};

namespace scan {

// The members of a chain's shared keyword lookup, found by its first member
// on the first paragraph of a long catch-up and kept for the rest of it: no
// handler runs meanwhile, so nothing changes the chain or its lists.
struct TChainKeywordPlan {
  const void* Head = nullptr;  // the first member; null until found
  std::array<TCustomExtHighlighterU*, TChainKeywordIndex::kMaxMembers> Run{};
  int Count = 0;
};

}  // namespace scan
}  // namespace qm
