// The keyword pass: finding keyword matches in a paragraph (literally, or through an index) and applying them.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "editor/highlight/KeyTable.h"
#include "editor/highlight/KeywordList.h"
#include "editor/highlight/Scan.h"
#include "editor/store/Types.h"

namespace qm {

// One match: the entry's local index, its paragraph offset and length.
struct TKeywordMatch {
  int Entry;
  int32_t Offset;
  int32_t Length;
  bool operator==(const TKeywordMatch&) const = default;
};

// Where one paragraph is searched: the stretch, the first offset the search
// of an entry may start from (less that entry's length), and the cut (matches
// must start at or before it).
struct TKeywordStretch {
  int32_t Start = 0;
  int32_t End = 0;
  int32_t SearchFrom = 0;  // the search of an entry begins KeyLength before this, not before Start
  int32_t Cut = 0;         // matches start no later than this
};

// Whether an entry takes part in the keyword pass at all.
bool KeywordSearchable(const KeywordEntry& e);
// All matches of entry e (local index `index`) in `hay` (the plain or folded
// text), left to right, going on KeyLength after each occurrence.
void FindKeywordEntry(const KeywordEntry& e, int index, const TCharSet& separators, std::u16string_view plain,
                      std::u16string_view hay, const TKeywordStretch& stretch, std::vector<TKeywordMatch>& out);
// Whether at … at + length stands between separators or stretch ends.
bool KeywordWholeWordAt(const TCharSet& separators, std::u16string_view text, const TKeywordStretch& stretch,
                        int32_t at, int32_t length);

// Every match of every entry in list order, each entry's matches left to
// right, continuing KeyLength after each occurrence: the pass as written.
std::vector<TKeywordMatch> FindKeywordsLiteral(const TKeywordList& list, const TCharSet& separators,
                                               scan::TParagraphText& text, const TKeywordStretch& stretch);

// The same matches in the same order, found by looking up the words of the
// paragraph in a hash of the keys; keys that are not whole words without
// separators are searched directly.
class TKeywordIndex {
 public:
  // Rebuilds when the list or the separators changed since the last call.
  void Prepare(const TKeywordList& list, const TCharSet& separators) {
    // Asked once per paragraph and highlighter: the check stays inline.
    if (built_ && list_ == &list && changeCount_ == list.ChangeCount() && separators_ == separators) return;
    Rebuild(list, separators);
  }
  // Fills `out` (emptied first), so that its storage is reused.
  void Find(const TKeywordList& list, const TCharSet& separators, scan::TParagraphText& text,
            const TKeywordStretch& stretch, std::vector<TKeywordMatch>& out) const;
  std::vector<TKeywordMatch> Find(const TKeywordList& list, const TCharSet& separators, scan::TParagraphText& text,
                                  const TKeywordStretch& stretch) const {
    std::vector<TKeywordMatch> out;
    Find(list, separators, text, stretch, out);
    return out;
  }

 private:
  // Each slot of the table lists its entries in list order; its key is read
  // from the list, which keeps the slots small.
  void Rebuild(const TKeywordList& list, const TCharSet& separators);
  struct Slot {
    uint64_t Hash = 0;
    uint32_t First = 0;
    uint32_t Count = 0;  // 0: empty slot
  };
  struct Table : TKeyTable<Slot, int> {
    void Build(const std::vector<std::pair<std::u16string_view, int>>& keys);
    const Slot* Find(const TKeywordList& list, uint64_t hash, std::u16string_view key) const;
  };
  const TKeywordList* list_ = nullptr;
  uint32_t changeCount_ = 0;
  TCharSet separators_;
  bool built_ = false;
  Table exact_;   // keys compared with case
  Table folded_;  // keys compared without case
  std::vector<int> direct_;
  int32_t minLength_ = 0;
  int32_t maxLength_ = 0;
};

// The stretch of paragraph par for a pass over from … to (absolute positions).
TKeywordStretch KeywordStretch(const TParagraphsList& paragraphs, int par, int32_t from, int32_t to,
                               int32_t maxKeyLength);
// The same with the paragraphs of from and to already known.
// Inline: every highlighter asks for it for every paragraph.
inline TKeywordStretch KeywordStretch(int32_t parStart, int32_t parLength, int par, int fromPar, int toPar,
                                      int32_t from, int32_t to, int32_t maxKeyLength) {
  TKeywordStretch s;
  s.Start = par == fromPar ? std::max(0, from - parStart - maxKeyLength - 1) : 0;
  s.End = par == toPar ? std::min(parLength, to - parStart + maxKeyLength) : parLength;
  s.SearchFrom = par == fromPar ? std::clamp(from - parStart, 0, parLength) : -1;
  s.Cut = par == toPar ? std::clamp(to - parStart, 0, parLength) : parLength;
  return s;
}
TKeywordStretch KeywordStretch(const TParagraphsList& paragraphs, int par, int fromPar, int toPar, int32_t from,
                               int32_t to, int32_t maxKeyLength);

}  // namespace qm
