// Keyword matching: the literal search and the hash index that must find exactly the same matches.
#include "editor/highlight/KeywordPass.h"

#include <algorithm>

#include "editor/highlight/KeyOptions.h"

namespace qm {

TKeywordStretch KeywordStretch(const TParagraphsList& paragraphs, int par, int32_t from, int32_t to,
                               int32_t maxKeyLength) {
  return KeywordStretch(paragraphs, par, paragraphs.ParagraphOfPosition(from), paragraphs.ParagraphOfPosition(to), from,
                        to, maxKeyLength);
}

TKeywordStretch KeywordStretch(const TParagraphsList& paragraphs, int par, int fromPar, int toPar, int32_t from,
                               int32_t to, int32_t maxKeyLength) {
  return KeywordStretch(paragraphs.StartOffset(par), paragraphs.Length(par), par, fromPar, toPar, from, to,
                        maxKeyLength);
}

namespace {

int32_t SearchStart(const TKeywordStretch& s, int32_t keyLength) {
  return s.SearchFrom < 0 ? s.Start : std::max(s.Start, s.SearchFrom - keyLength);
}

bool WholeWordAt(const TCharSet& separators, std::u16string_view text, const TKeywordStretch& s, int32_t at,
                 int32_t length) {
  const bool before = at == s.Start || separators.Contains(text[static_cast<size_t>(at - 1)]);
  const int32_t end = at + length;
  const bool after =
      end == s.End || (end < static_cast<int32_t>(text.size()) && separators.Contains(text[static_cast<size_t>(end)]));
  return before && after;
}

}  // namespace

void FindKeywordEntry(const KeywordEntry& e, int index, const TCharSet& separators, std::u16string_view plain,
                      std::u16string_view hay, const TKeywordStretch& s, std::vector<TKeywordMatch>& out) {
  const int32_t klen = e.KeyLength;
  const std::u16string_view key = e.MatchKey;
  // The text is cut so that only matches starting at or before Cut are found.
  const int32_t limit = std::min<int32_t>(s.End, s.Cut + klen);
  int32_t i = SearchStart(s, klen);
  while (i + klen <= limit) {
    const size_t at = hay.substr(0, static_cast<size_t>(limit)).find(key, static_cast<size_t>(i));
    if (at == std::u16string_view::npos) break;
    const auto pos = static_cast<int32_t>(at);
    if (!(e.Options & kwoWholeWord) || WholeWordAt(separators, plain, s, pos, klen))
      out.push_back(TKeywordMatch{index, pos, klen});
    i = pos + klen;
  }
}

bool KeywordSearchable(const KeywordEntry& e) { return e.ContextNum != 0 && e.KeyLength > 0; }

bool KeywordWholeWordAt(const TCharSet& separators, std::u16string_view text, const TKeywordStretch& s, int32_t at,
                        int32_t length) {
  return WholeWordAt(separators, text, s, at, length);
}

std::vector<TKeywordMatch> FindKeywordsLiteral(const TKeywordList& list, const TCharSet& separators,
                                               scan::TParagraphText& text, const TKeywordStretch& stretch) {
  std::vector<TKeywordMatch> out;
  const std::u16string_view plain = text.Plain();
  for (int i = 0; i < list.Count(); ++i) {
    const KeywordEntry& e = list.Entry(i);
    if (!KeywordSearchable(e)) continue;
    const std::u16string_view hay = (e.Options & kwoMatchCase) ? plain : text.Folded(list.UpperCaseType());
    FindKeywordEntry(e, i, separators, plain, hay, stretch, out);
  }
  return out;
}

void TKeywordIndex::Table::Build(const std::vector<std::pair<std::u16string_view, int>>& keys) {
  TKeyTable::Build(keys, 16, [](uint64_t hash, std::u16string_view, uint32_t first, uint32_t count) {
    return Slot{hash, first, count};
  });
}

const TKeywordIndex::Slot* TKeywordIndex::Table::Find(const TKeywordList& list, uint64_t hash,
                                                      std::u16string_view key) const {
  if (!MayHold(hash)) return nullptr;
  for (size_t at = hash & Mask;; at = (at + 1) & Mask) {
    const Slot& slot = Slots[at];
    if (slot.Count == 0) return nullptr;
    if (slot.Hash == hash && list.Entry(Payloads[slot.First]).MatchKey == key) return &slot;
  }
}

void TKeywordIndex::Rebuild(const TKeywordList& list, const TCharSet& separators) {
  list_ = &list;
  changeCount_ = list.ChangeCount();
  separators_ = separators;
  built_ = true;
  direct_.clear();
  minLength_ = INT32_MAX;
  maxLength_ = 0;
  std::vector<std::pair<std::u16string_view, int>> exact;
  std::vector<std::pair<std::u16string_view, int>> folded;
  for (int i = 0; i < list.Count(); ++i) {
    const KeywordEntry& e = list.Entry(i);
    if (!KeywordSearchable(e)) continue;
    const bool hasSeparator =
        std::any_of(e.MatchKey.begin(), e.MatchKey.end(), [&](char16_t c) { return separators.Contains(c); });
    if (!(e.Options & kwoWholeWord) || hasSeparator) {
      direct_.push_back(i);
      continue;
    }
    // A whole word without separators can only be one word of the paragraph.
    ((e.Options & kwoMatchCase) ? exact : folded).emplace_back(e.MatchKey, i);
    minLength_ = std::min(minLength_, e.KeyLength);
    maxLength_ = std::max(maxLength_, e.KeyLength);
  }
  exact_.Build(exact);
  folded_.Build(folded);
}

void TKeywordIndex::Find(const TKeywordList& list, const TCharSet& separators, scan::TParagraphText& text,
                         const TKeywordStretch& s, std::vector<TKeywordMatch>& out) const {
  out.clear();
  const std::u16string_view plain = text.Plain();
  const bool haveExact = !exact_.Empty() && maxLength_ > 0;
  if (maxLength_ > 0) {
    const std::u16string_view folded = text.Folded(list.UpperCaseType());
    auto look = [&](const Table& table, std::u16string_view hay, uint64_t hash, int32_t at, int32_t length) {
      const Slot* slot = table.Find(list, hash, hay.substr(static_cast<size_t>(at), static_cast<size_t>(length)));
      if (slot == nullptr) return;
      for (uint32_t n = 0; n < slot->Count; ++n) {
        const int index = table.Payloads[slot->First + n];
        const KeywordEntry& e = list.Entry(index);
        if (at < SearchStart(s, e.KeyLength) || at > s.Cut) continue;
        if (at + e.KeyLength > std::min<int32_t>(s.End, s.Cut + e.KeyLength)) continue;
        if (!WholeWordAt(separators, plain, s, at, e.KeyLength)) continue;
        out.push_back(TKeywordMatch{index, at, e.KeyLength});
      }
    };
    const bool haveFolded = !folded_.Empty();
    for (const scan::TParagraphText::Word& w : text.Words(separators, list.UpperCaseType(), haveExact)) {
      // The stretch bounds words like separators do.
      const int32_t a = std::max(w.Start, s.Start);
      const int32_t b = std::min(w.Start + w.Length, s.End);
      if (b <= a || b - a < minLength_ || b - a > maxLength_) continue;
      const bool whole = a == w.Start && b == w.Start + w.Length;
      const auto len = static_cast<size_t>(b - a);
      if (haveExact) {
        const uint64_t hash = whole ? w.PlainHash : scan::HashUnits(plain.data() + a, len);
        if (exact_.MayHold(hash)) look(exact_, plain, hash, a, b - a);
      }
      if (haveFolded) {
        const uint64_t hash = whole ? w.FoldedHash : scan::HashUnits(folded.data() + a, len);
        if (folded_.MayHold(hash)) look(folded_, folded, hash, a, b - a);
      }
    }
  }
  for (int index : direct_) {
    const KeywordEntry& e = list.Entry(index);
    const std::u16string_view hay = (e.Options & kwoMatchCase) ? plain : text.Folded(list.UpperCaseType());
    FindKeywordEntry(e, index, separators, plain, hay, s, out);
  }
  // The pass applies entries in list order, each entry's matches left to right.
  if (out.size() < 2) return;
  std::sort(out.begin(), out.end(), [](const TKeywordMatch& a, const TKeywordMatch& b) {
    return a.Entry != b.Entry ? a.Entry < b.Entry : a.Offset < b.Offset;
  });
}

}  // namespace qm
