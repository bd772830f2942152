// Keyword matching: the literal search and the hash index that must find exactly the same matches.
#include "editor/KeywordPass.h"

#include <algorithm>

#include "editor/KeyOptions.h"

namespace qm {

TKeywordStretch KeywordStretch(const TParagraphsList& paragraphs, int par, int32_t from, int32_t to,
                               int32_t maxKeyLength) {
  const int32_t start = paragraphs.StartOffset(par);
  const int32_t len = paragraphs.Length(par);
  const int fromPar = paragraphs.ParagraphOfPosition(from);
  const int toPar = paragraphs.ParagraphOfPosition(to);
  TKeywordStretch s;
  s.Start = par == fromPar ? std::max(0, from - start - maxKeyLength - 1) : 0;
  s.End = par == toPar ? std::min(len, to - start + maxKeyLength) : len;
  s.SearchFrom = par == fromPar ? std::clamp(from - start, 0, len) : -1;
  s.Cut = par == toPar ? std::clamp(to - start, 0, len) : len;
  return s;
}

namespace {

int32_t SearchStart(const TKeywordStretch& s, int32_t keyLength) {
  return s.SearchFrom < 0 ? s.Start : std::max(s.Start, s.SearchFrom - keyLength);
}

bool WholeWordAt(const TCharSet& separators, std::u16string_view text, const TKeywordStretch& s, int32_t at,
                 int32_t length) {
  const bool before = at == s.Start || separators.Contains(text[static_cast<size_t>(at - 1)]);
  const int32_t end = at + length;
  const bool after = end == s.End || (end < static_cast<int32_t>(text.size()) &&
                                      separators.Contains(text[static_cast<size_t>(end)]));
  return before && after;
}

// All matches of one entry, left to right, going on KeyLength after each occurrence.
void FindEntry(const KeywordEntry& e, int index, const TCharSet& separators, std::u16string_view plain,
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

bool Searchable(const KeywordEntry& e) { return e.ContextNum != 0 && e.KeyLength > 0; }

}  // namespace

std::vector<TKeywordMatch> FindKeywordsLiteral(const TKeywordList& list, const TCharSet& separators,
                                               scan::TParagraphText& text, const TKeywordStretch& stretch) {
  std::vector<TKeywordMatch> out;
  const std::u16string_view plain = text.Plain();
  for (int i = 0; i < list.Count(); ++i) {
    const KeywordEntry& e = list.Entry(i);
    if (!Searchable(e)) continue;
    const std::u16string_view hay = (e.Options & kwoMatchCase) ? plain : text.Folded(list.UpperCaseType());
    FindEntry(e, i, separators, plain, hay, stretch, out);
  }
  return out;
}

size_t TKeywordIndex::U16Hash::operator()(std::u16string_view s) const {
  uint64_t h = 1469598103934665603ULL;
  for (char16_t c : s) h = (h ^ c) * 1099511628211ULL;
  return static_cast<size_t>(h ^ (h >> 29));
}

void TKeywordIndex::Prepare(const TKeywordList& list, const TCharSet& separators) {
  if (built_ && list_ == &list && changeCount_ == list.ChangeCount() && separators_ == separators) return;
  list_ = &list;
  changeCount_ = list.ChangeCount();
  separators_ = separators;
  built_ = true;
  exact_.clear();
  folded_.clear();
  direct_.clear();
  minLength_ = INT32_MAX;
  maxLength_ = 0;
  for (int i = 0; i < list.Count(); ++i) {
    const KeywordEntry& e = list.Entry(i);
    if (!Searchable(e)) continue;
    const bool hasSeparator = std::any_of(e.MatchKey.begin(), e.MatchKey.end(),
                                          [&](char16_t c) { return separators.Contains(c); });
    if (!(e.Options & kwoWholeWord) || hasSeparator) {
      direct_.push_back(i);
      continue;
    }
    // A whole word without separators can only be one word of the paragraph.
    Map& map = (e.Options & kwoMatchCase) ? exact_ : folded_;
    map[std::u16string_view(e.MatchKey)].push_back(i);
    minLength_ = std::min(minLength_, e.KeyLength);
    maxLength_ = std::max(maxLength_, e.KeyLength);
  }
}

std::vector<TKeywordMatch> TKeywordIndex::Find(const TKeywordList& list, const TCharSet& separators,
                                               scan::TParagraphText& text, const TKeywordStretch& s) const {
  std::vector<TKeywordMatch> out;
  const std::u16string_view plain = text.Plain();
  if (!exact_.empty() || !folded_.empty()) {
    const std::u16string_view folded = folded_.empty() ? plain : text.Folded(list.UpperCaseType());
    int32_t i = s.Start;
    while (i < s.End) {
      if (separators.Contains(plain[static_cast<size_t>(i)])) {
        ++i;
        continue;
      }
      int32_t j = i;
      while (j < s.End && !separators.Contains(plain[static_cast<size_t>(j)])) ++j;
      const int32_t wlen = j - i;
      // A word running past the stretch end is not whole within it, and a
      // word not starting at the stretch start needs a separator before it.
      if (wlen >= minLength_ && wlen <= maxLength_) {
        auto look = [&](const Map& map, std::u16string_view hay) {
          const auto it = map.find(hay.substr(static_cast<size_t>(i), static_cast<size_t>(wlen)));
          if (it == map.end()) return;
          for (int index : it->second) {
            const KeywordEntry& e = list.Entry(index);
            if (i < SearchStart(s, e.KeyLength) || i > s.Cut) continue;
            if (i + e.KeyLength > std::min<int32_t>(s.End, s.Cut + e.KeyLength)) continue;
            if (!WholeWordAt(separators, plain, s, i, e.KeyLength)) continue;
            out.push_back(TKeywordMatch{index, i, e.KeyLength});
          }
        };
        if (!exact_.empty()) look(exact_, plain);
        if (!folded_.empty()) look(folded_, folded);
      }
      i = j;
    }
  }
  for (int index : direct_) {
    const KeywordEntry& e = list.Entry(index);
    const std::u16string_view hay = (e.Options & kwoMatchCase) ? plain : text.Folded(list.UpperCaseType());
    FindEntry(e, index, separators, plain, hay, s, out);
  }
  // The pass applies entries in list order, each entry's matches left to right.
  std::stable_sort(out.begin(), out.end(), [](const TKeywordMatch& a, const TKeywordMatch& b) {
    return a.Entry != b.Entry ? a.Entry < b.Entry : a.Offset < b.Offset;
  });
  return out;
}

}  // namespace qm
