// The paragraph-wide start-key filter of a long catch-up.
#include "editor/highlight/StartKeyFilter.h"

#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
  quick_ = QuickTest{};
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
  PlanQuickTest();
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

void TStartKeyFilter::PlanQuickTest() {
  quick_ = QuickTest{};
  for (char16_t c = 0; c < kOther; ++c) {
    if (!mayBegin_[c]) continue;
    const char16_t lower = static_cast<char16_t>(c | 0x20);
    const bool letter = lower >= u'a' && lower <= u'z';
    // A letter's two cases are one test of the unit with bit 5 set.
    if (letter && c != lower && mayBegin_[lower]) continue;
    if (quick_.Count == quick_.Units.size()) {
      quick_.Count = 0;  // too many units to test at once: every position is tried
      return;
    }
    const bool bothCases = letter && mayBegin_[OtherCase(c)];
    quick_.Units[quick_.Count] = bothCases ? lower : c;
    quick_.Lowered[quick_.Count] = bothCases;
    ++quick_.Count;
  }
  quick_.Other = mayBegin_[kOther];
  quick_.On = quick_.Count > 0 || quick_.Other;
}

bool TStartKeyFilter::StartsAt(std::u16string_view text, size_t i) const {
  const size_t n = text.size();
  const unsigned a = IndexOf(text[i]);
  if (!mayBegin_[a]) return false;
  const unsigned b = i + 1 < n ? IndexOf(text[i + 1]) : kNoUnit;
  // The paragraph start counts as a separator.
  const bool afterSep = i == 0 || maySeparate_[IndexOf(text[i - 1])];
  const uint8_t fits =
      pairs_[a][b] & (afterSep ? kAnywhere | kAfterSep | kShortAnywhere | kShortAfterSep : kAnywhere | kShortAnywhere);
  if ((fits & (kShortAnywhere | kShortAfterSep)) != 0) return true;
  return fits != 0 && (!compareLong_ || LongKeyAt(text, i, afterSep));
}

size_t TStartKeyFilter::FirstStart(std::u16string_view text) const {
  const size_t n = text.size();
  size_t i = 0;
#if defined(__SSE2__)
  if (quick_.On) {
    // Eight units at a time: most hold no unit that can begin a key.
    const __m128i setBit5 = _mm_set1_epi16(0x20);
    const __m128i asciiBits = _mm_set1_epi16(static_cast<short>(0xFF80));
    for (; i + 8 <= n; i += 8) {
      const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
      const __m128i lowered = _mm_or_si128(units, setBit5);
      __m128i may = _mm_setzero_si128();
      for (size_t t = 0; t < quick_.Count; ++t)
        may = _mm_or_si128(may, _mm_cmpeq_epi16(quick_.Lowered[t] ? lowered : units,
                                                _mm_set1_epi16(static_cast<short>(quick_.Units[t]))));
      if (quick_.Other)
        may = _mm_or_si128(may, _mm_andnot_si128(_mm_cmpeq_epi16(_mm_and_si128(units, asciiBits), _mm_setzero_si128()),
                                                 _mm_set1_epi16(-1)));
      // Two mask bits per unit.
      for (auto mask = static_cast<unsigned>(_mm_movemask_epi8(may)); mask != 0; mask &= mask - 1, mask &= mask - 1) {
        const size_t at = i + static_cast<size_t>(std::countr_zero(mask) / 2);
        if (StartsAt(text, at)) return at;
      }
    }
  }
#endif
  for (; i < n; ++i)
    if (StartsAt(text, i)) return i;
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
