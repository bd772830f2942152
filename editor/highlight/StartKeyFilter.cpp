// The paragraph-wide start-key filter of a long catch-up.
#include "editor/highlight/StartKeyFilter.h"

#include "editor/highlight/ExtHilitU.h"
#include "editor/highlight/KeyOptions.h"
#include "editor/highlight/ScanHost.h"
#include "editor/highlight/StartStopList.h"

namespace qm::scan {

namespace {

// The unit's other case within ASCII, or the unit itself.
char16_t OtherCase(char16_t c) {
  if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 32);
  if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 32);
  return c;
}

}  // namespace

bool TStartKeyFilter::Build(TScanHost& host) {
  mayBegin_ = {};
  pairs_ = {};
  maySeparate_ = {};
  maySeparate_[kOther] = true;
  longKeys_.clear();
  compareLong_ = true;
  if (!AddList(host.OwnStartStopKeys(), host.OwnSeparators())) return false;
  return EveryInChain(host.Highlighter(), [this](TPlusHighlighterU& h) {
    const TCustomExtHighlighterU* ext = h.AsExtHighlighter();
    return ext != nullptr && h.PassesReadTextOnly() && AddList(ext->StartStopKeys, ext->SeparatorSet());
  });
}

bool TStartKeyFilter::AddList(const TStartStopKeyList& keys, const TCharSet& separators) {
  if (keys.Count() == 0) return true;
  // A routine the program installs may fold any unit to any other.
  if (keys.UpperCaseType() == pmuUserDefined) return false;
  // The compared view holds an ASCII unit as written or folded: either case.
  for (char16_t c = 0; c < kOther; ++c)
    if (separators.Contains(c) || separators.Contains(OtherCase(c))) maySeparate_[c] = true;
  for (int e = 0; e < keys.Count(); ++e) {
    const StartStopEntry& entry = keys.Entry(e);
    if (entry.StartLength == 0) continue;
    const bool afterSep = (entry.Options & kwoWholeWord) && !separators.Contains(entry.StartText().front());
    AddKey(entry.StartMatch(), afterSep);
  }
  return true;
}

void TStartKeyFilter::AddKey(std::u16string_view match, bool afterSep) {
  uint8_t where = afterSep ? kAfterSep : kAnywhere;
  if (match.size() <= 2) {
    where = afterSep ? kShortAfterSep : kShortAnywhere;
  } else if (compareLong_ && longKeys_.size() < kMaxLongKeys) {
    longKeys_.push_back(LongKey{std::u16string(match), afterSep});
  } else {
    compareLong_ = false;  // the pair alone decides for every key
  }
  // Text outside ASCII may fold to any key unit; ASCII text folds to its other case at most.
  for (const char16_t first : {match[0], OtherCase(match[0]), static_cast<char16_t>(kOther)}) {
    if (match.size() == 1) {
      for (unsigned next = 0; next <= kNoUnit; ++next) Mark(first, next, where);
      continue;
    }
    for (const char16_t next : {match[1], OtherCase(match[1]), static_cast<char16_t>(kOther)})
      Mark(first, IndexOf(next), where);
  }
}

void TStartKeyFilter::Mark(char16_t first, unsigned next, uint8_t where) {
  // A key unit outside ASCII is met only by text outside ASCII.
  const unsigned at = IndexOf(first);
  mayBegin_[at] = true;
  pairs_[at][next] |= where;
}

size_t TStartKeyFilter::FirstStart(std::u16string_view text) const {
  const size_t n = text.size();
  for (size_t i = 0; i < n; ++i) {
    const unsigned a = IndexOf(text[i]);
    if (!mayBegin_[a]) continue;
    const unsigned b = i + 1 < n ? IndexOf(text[i + 1]) : kNoUnit;
    // The paragraph start counts as a separator.
    const bool afterSep = i == 0 || maySeparate_[IndexOf(text[i - 1])];
    const uint8_t fits = pairs_[a][b] & (afterSep ? kAnywhere | kAfterSep | kShortAnywhere | kShortAfterSep
                                                  : kAnywhere | kShortAnywhere);
    if ((fits & (kShortAnywhere | kShortAfterSep)) != 0) return i;
    if (fits != 0 && (!compareLong_ || LongKeyAt(text, i, afterSep))) return i;
  }
  return std::u16string_view::npos;
}

bool TStartKeyFilter::LongKeyAt(std::u16string_view text, size_t i, bool afterSep) const {
  for (const LongKey& key : longKeys_) {
    if (key.AfterSep && !afterSep) continue;
    if (text.size() - i < key.Match.size()) continue;
    bool fits = true;
    for (size_t j = 0; j < key.Match.size() && fits; ++j) {
      const char16_t t = text[i + j];
      const char16_t u = key.Match[j];
      fits = t >= kOther || t == u || t == OtherCase(u);
    }
    if (fits) return true;
  }
  return false;
}

}  // namespace qm::scan
