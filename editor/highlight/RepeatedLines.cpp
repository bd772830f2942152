// The repeated-lines table of paragraph outcomes, how its keys read a paragraph, and the tests of what a chain's passes allow.
#include "editor/highlight/RepeatedLines.h"

#include <algorithm>
#include <bit>
#include <new>
#include <type_traits>
#include <vector>

#include "editor/highlight/ExtHilitU.h"
#include "editor/highlight/Highlighter.h"
#include "editor/highlight/KeyOptions.h"
#include "editor/highlight/KeywordList.h"
#include "editor/highlight/ScanHost.h"
#include "editor/highlight/TextUnits.h"
#include "platform/LargeTable.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qm::scan {

template <typename T>
std::unique_ptr<T[], TRepeatedLines::Unmap> TRepeatedLines::Map(size_t count) {
  static_assert(std::is_trivially_destructible_v<T>);
  void* block = MapZeroedTable(count * sizeof(T));
  if (block == nullptr) throw std::bad_alloc();
  return std::unique_ptr<T[], Unmap>(static_cast<T*>(block), Unmap{count * sizeof(T)});
}

void TRepeatedLines::Unmap::operator()(void* block) const { UnmapTable(block, Bytes); }

TRepeatedLines::TRepeatedLines(const TReading& reading, size_t paragraphs)
    : reading_(reading),
      places_(std::clamp(std::bit_ceil(paragraphs / 2), kMinPlaces, kMaxPlaces)),
      index_(Map<uint64_t>(places_)),
      storeBytes_(std::clamp(paragraphs * kStoreBytesPerParagraph, kMinStoreBytes, kMaxStoreBytes)),
      store_(Map<uint8_t>(storeBytes_)) {
  // No text unit that 0xFFFF stands for is a lower-case letter.
  kept_.fill(u'\uffff');
  size_t kept = 0;
  if (reading_.Letters)
    for (char16_t c = u'a'; c <= u'z'; ++c)
      if ((*reading_.Letters)[c] == c && kept++ < kept_.size()) kept_[kept - 1] = c;
  fewKept_ = kept <= kept_.size();
}

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

// The number of spaces and tabs text begins with.
size_t LeadingBlanks(std::u16string_view text) {
  size_t i = 0;
#if defined(__SSE2__)
  // Eight units at a time: script lines are indented deeply.
  for (; i + 8 <= text.size(); i += 8) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
    const __m128i blank =
        _mm_or_si128(_mm_cmpeq_epi16(units, _mm_set1_epi16(u' ')), _mm_cmpeq_epi16(units, _mm_set1_epi16(u'\t')));
    const auto mask = static_cast<unsigned>(_mm_movemask_epi8(blank));
    if (mask != 0xFFFF) return i + static_cast<size_t>(std::countr_one(mask) / 2);
  }
#endif
  while (i < text.size() && IsBlank(text[i])) ++i;
  return i;
}

bool BeginsWithBlank(std::u16string_view key) { return !key.empty() && IsBlank(key.front()); }

bool IndentNeutral(const TCharSet& separators) { return separators.Contains(u' ') && separators.Contains(u'\t'); }

// Each ASCII letter is a separator in both cases or in neither.
bool CaseNeutral(const TCharSet& separators) {
  for (char16_t c = u'a'; c <= u'z'; ++c)
    if (separators.Contains(c) != separators.Contains(static_cast<char16_t>(c - 32))) return false;
  return true;
}

bool IndentNeutral(const TStartStopKeyList& keys, const TCharSet& separators) {
  if (keys.Count() == 0) return true;
  if (!IndentNeutral(separators) || !CaseNeutral(separators)) return false;
  for (int e = 0; e < keys.Count(); ++e) {
    const StartStopEntry& entry = keys.Entry(e);
    if (BeginsWithBlank(entry.StartText()) || BeginsWithBlank(entry.StopText()) ||
        BeginsWithBlank(entry.StartMatch()) || BeginsWithBlank(entry.StopMatch()))
      return false;
    if (entry.ParentKey >= 0 || entry.ScopeContext == kEndsAtSeparator || entry.StartLength > 255 ||
        entry.StopLength > 255)
      return false;
  }
  return true;
}

bool IndentNeutral(const TKeywordList& keywords) {
  for (int i = 0; i < keywords.Count(); ++i) {
    const KeywordEntry& entry = keywords.Entry(i);
    if (BeginsWithBlank(entry.Keyword) || BeginsWithBlank(entry.MatchKey)) return false;
  }
  return true;
}

using UnitClass = TRepeatedLines::UnitClass;

bool IsAsciiDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsAsciiLetter(char16_t c) { return (c | 0x20) >= u'a' && (c | 0x20) <= u'z'; }

UnitClass ClassOf(char16_t c, const TRepeatedLines::TDigitClasses& classes) {
  return c < classes.size() ? classes[c] : UnitClass::Other;
}

// Whether some stretch of key between its Boundary units (or ends) holds a
// digit and nothing but digits and Neutral units: such a key could match
// over a digit that the table's key reads as "0".
bool HoldsDigitReadAlike(std::u16string_view key, const TRepeatedLines::TDigitClasses& classes) {
  bool digit = false;
  bool onlyNeutral = true;
  for (size_t i = 0; i <= key.size(); ++i) {
    const UnitClass c = i < key.size() ? ClassOf(key[i], classes) : UnitClass::Boundary;
    if (c == UnitClass::Boundary) {
      if (digit && onlyNeutral) return true;
      digit = false;
      onlyNeutral = true;
    } else if (c == UnitClass::Digit) {
      digit = true;
    } else if (c == UnitClass::Other) {
      onlyNeutral = false;
    }
  }
  return false;
}

#if defined(__SSE2__)
// Two mask bits for each of the eight units at p that is an ASCII digit: a
// unit is one when (unit - '0') < 10 unsigned, compared signed with the top
// bit flipped.
unsigned DigitMask(const char16_t* p) {
  const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i offset = _mm_xor_si128(_mm_sub_epi16(units, _mm_set1_epi16(u'0')), _mm_set1_epi16(-0x8000));
  return static_cast<unsigned>(
      _mm_movemask_epi8(_mm_cmplt_epi16(offset, _mm_set1_epi16(static_cast<short>(10 ^ 0x8000)))));
}

// The lower-case letters that stay as written, one in each unit of a vector.
struct TKeptLetters {
  __m128i a, b, c, d;
};

// Copies the eight units at from to to, lower-case letters but the kept ones
// in upper case, and returns their digit mask (see DigitMask). A unit is a
// lower-case letter when (unit - 'a') < 26 unsigned, compared signed with the
// top bit flipped.
inline unsigned UpperEight(const char16_t* from, char16_t* to, const TKeptLetters& kept) {
  const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
  __m128i lower = _mm_cmplt_epi16(_mm_xor_si128(_mm_sub_epi16(units, _mm_set1_epi16(u'a')), _mm_set1_epi16(-0x8000)),
                                  _mm_set1_epi16(static_cast<short>(26 ^ 0x8000)));
  const __m128i keep = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(units, kept.a), _mm_cmpeq_epi16(units, kept.b)),
                                    _mm_or_si128(_mm_cmpeq_epi16(units, kept.c), _mm_cmpeq_epi16(units, kept.d)));
  lower = _mm_andnot_si128(keep, lower);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(to), _mm_sub_epi16(units, _mm_and_si128(lower, _mm_set1_epi16(32))));
  return DigitMask(from);
}
#endif

// The position of the first ASCII digit at or after from, or the length.
size_t NextDigit(std::u16string_view text, size_t from) {
  const size_t n = text.size();
  size_t i = from;
#if defined(__SSE2__)
  // Eight units at a time (most of a line is letters and blanks), the last
  // eight again for the rest, the units before i masked off.
  if (n >= 8) {
    for (; i + 8 <= n; i += 8)
      if (const unsigned mask = DigitMask(text.data() + i)) return i + static_cast<size_t>(std::countr_zero(mask) / 2);
    if (i >= n) return n;
    const size_t last = n - 8;
    const unsigned mask = DigitMask(text.data() + last) & (~0u << (2 * (i - last)));
    return mask != 0 ? last + static_cast<size_t>(std::countr_zero(mask) / 2) : n;
  }
#endif
  while (i < n && !IsAsciiDigit(text[i])) ++i;
  return i;
}

bool HoldsDigit(std::u16string_view key) { return std::any_of(key.begin(), key.end(), IsAsciiDigit); }

// The lists of the editor and its chain that the passes read, with their separators.
struct ListsRead {
  std::vector<const TCharSet*> Separators;
  std::vector<const TStartStopKeyList*> Keys;
  std::vector<const TKeywordList*> Keywords;

  void Add(const TCharSet& separators, const TStartStopKeyList& keys, const TKeywordList* keywords) {
    Separators.push_back(&separators);
    Keys.push_back(&keys);
    if (keywords != nullptr) Keywords.push_back(keywords);
  }
  bool AnyMatchesCase() const {
    for (const TStartStopKeyList* keys : Keys)
      for (int e = 0; e < keys->Count(); ++e)
        if (keys->Entry(e).Options & kwoMatchCase) return true;
    for (const TKeywordList* keywords : Keywords)
      for (int i = 0; i < keywords->Count(); ++i)
        if (keywords->Entry(i).Options & kwoMatchCase) return true;
    return false;
  }
  // False when a list folds case through a routine of the program's, which may map any unit to any other.
  bool FoldsByTables() const {
    return std::none_of(Keys.begin(), Keys.end(), [](auto* k) { return k->UpperCaseType() == pmuUserDefined; }) &&
           std::none_of(Keywords.begin(), Keywords.end(), [](auto* k) { return k->UpperCaseType() == pmuUserDefined; });
  }
};

// The lists the passes of the host read; false when the table does not apply, a
// highlighter of the chain is not an extended one, or a list folds case
// through a routine of the program's.
bool GatherLists(TScanHost& host, ListsRead& lists) {
  if (!TRepeatedLines::Applies(host)) return false;
  if (host.OwnStartStopKeys().Count() > 0) lists.Add(host.OwnSeparators(), host.OwnStartStopKeys(), nullptr);
  const bool extended = EveryInChain(host.Highlighter(), [&lists](TPlusHighlighterU& h) {
    const TCustomExtHighlighterU* ext = h.AsExtHighlighter();
    if (ext == nullptr) return false;
    lists.Add(ext->SeparatorSet(), ext->StartStopKeys, &ext->Keywords);
    return true;
  });
  return extended && lists.FoldsByTables();
}

}  // namespace

TRepeatedLines::TReading TRepeatedLines::TReading::For(TScanHost& host) {
  return TReading{TRepeatedLines::IgnoresIndent(host), DigitClasses(host), LetterCases(host)};
}

bool TRepeatedLines::Applies(TScanHost& host) {
  if (host.OwnKeywordsOn() && host.OwnKeywords().Count() > 0) return false;
  return EveryInChain(host.Highlighter(), [](TPlusHighlighterU& h) { return h.PassesReadTextOnly(); });
}

bool TRepeatedLines::IgnoresIndent(TScanHost& host) {
  if (!Applies(host) || !IndentNeutral(host.OwnStartStopKeys(), host.OwnSeparators())) return false;
  return EveryInChain(host.Highlighter(), [](TPlusHighlighterU& h) {
    const TCustomExtHighlighterU* ext = h.AsExtHighlighter();
    return ext != nullptr && IndentNeutral(ext->SeparatorSet()) &&
           IndentNeutral(ext->StartStopKeys, ext->SeparatorSet()) && IndentNeutral(ext->Keywords);
  });
}

std::optional<TRepeatedLines::TDigitClasses> TRepeatedLines::DigitClasses(TScanHost& host) {
  ListsRead lists;
  if (!GatherLists(host, lists)) return std::nullopt;

  TDigitClasses classes{};
  for (char16_t c = 0; c < classes.size(); ++c) {
    const auto separates = [c](const TCharSet* set) { return set->Contains(c); };
    const bool inSome = std::any_of(lists.Separators.begin(), lists.Separators.end(), separates);
    const bool inAll = std::all_of(lists.Separators.begin(), lists.Separators.end(), separates);
    if (IsAsciiDigit(c)) {
      if (inSome) return std::nullopt;
      classes[c] = UnitClass::Digit;
    } else if (IsAsciiLetter(c)) {
      classes[c] = UnitClass::Other;
    } else {
      classes[c] = inAll ? UnitClass::Boundary : UnitClass::Neutral;
    }
  }
  for (const TStartStopKeyList* keys : lists.Keys)
    for (int e = 0; e < keys->Count(); ++e) {
      const StartStopEntry& entry = keys->Entry(e);
      if (HoldsDigit(entry.StartText()) || HoldsDigit(entry.StopText()) || HoldsDigit(entry.StartMatch()) ||
          HoldsDigit(entry.StopMatch()))
        return std::nullopt;
    }
  for (const TKeywordList* keywords : lists.Keywords)
    for (int i = 0; i < keywords->Count(); ++i) {
      const KeywordEntry& entry = keywords->Entry(i);
      if (HoldsDigitReadAlike(entry.Keyword, classes) || HoldsDigitReadAlike(entry.MatchKey, classes))
        return std::nullopt;
    }
  return classes;
}

std::optional<TRepeatedLines::TLetterCases> TRepeatedLines::LetterCases(TScanHost& host) {
  ListsRead lists;
  if (!GatherLists(host, lists) || lists.AnyMatchesCase()) return std::nullopt;
  TLetterCases as{};
  for (char16_t c = 0; c < as.size(); ++c) as[c] = c;
  for (char16_t c = u'a'; c <= u'z'; ++c) {
    const auto upper = static_cast<char16_t>(c - 32);
    if (std::all_of(lists.Separators.begin(), lists.Separators.end(),
                    [c, upper](const TCharSet* set) { return set->Contains(c) == set->Contains(upper); }))
      as[c] = upper;
  }
  return as;
}

void TRepeatedLines::ReadDigitsAlike(std::u16string_view text, char16_t* read, bool& copied) const {
  const TDigitClasses& classes = *reading_.Digits;
  const auto classOf = [&classes](char16_t c) { return ClassOf(c, classes); };
  const auto digitOrNeutral = [&classOf](char16_t c) {
    const UnitClass k = classOf(c);
    return k == UnitClass::Digit || k == UnitClass::Neutral;
  };
  const size_t n = text.size();
  size_t done = 0;  // the stretches before this are dealt with
  for (size_t i = NextDigit(text, 0); i < n; i = NextDigit(text, done)) {
    size_t from = i;
    while (from > done && digitOrNeutral(text[from - 1])) --from;
    size_t to = i + 1;
    while (to < n && digitOrNeutral(text[to])) ++to;
    done = to;
    // The stretch must stand between Boundary units or the ends of the text
    // (in front of it, the indentation left out is blank, a Boundary).
    if ((from > 0 && classOf(text[from - 1]) != UnitClass::Boundary) ||
        (to < n && classOf(text[to]) != UnitClass::Boundary))
      continue;
    if (!copied) {
      std::copy(text.begin(), text.end(), read);
      copied = true;
    }
    for (size_t k = i; k < to; ++k)
      if (IsAsciiDigit(text[k])) read[k] = u'0';
  }
}

bool TRepeatedLines::ReadLetters(std::u16string_view text, char16_t* read) const {
  const TLetterCases& as = *reading_.Letters;
  const size_t n = text.size();
#if defined(__SSE2__)
  // Eight units at a time, the last eight again for the rest, while the
  // letters read as written are few: every paragraph's key reads its letters.
  if (n >= 8 && fewKept_) {
    const TKeptLetters kept{_mm_set1_epi16(static_cast<short>(kept_[0])), _mm_set1_epi16(static_cast<short>(kept_[1])),
                            _mm_set1_epi16(static_cast<short>(kept_[2])), _mm_set1_epi16(static_cast<short>(kept_[3]))};
    unsigned digits = 0;
    size_t i = 0;
    for (; i + 8 <= n; i += 8) digits |= UpperEight(text.data() + i, read + i, kept);
    if (i < n) digits |= UpperEight(text.data() + n - 8, read + n - 8, kept);
    return digits != 0;
  }
#endif
  bool digits = false;
  for (size_t i = 0; i < n; ++i) {
    read[i] = text[i] < as.size() ? as[text[i]] : text[i];
    digits |= IsAsciiDigit(text[i]);
  }
  return digits;
}

std::u16string_view TRepeatedLines::Read(std::u16string_view text) {
  char16_t* read = read_[nextRead_].data();
  bool copied = false;
  bool digits = true;
  if (reading_.Letters) {
    digits = ReadLetters(text, read);
    copied = true;
  }
  // Digits are classed by the text as written: case changes no class.
  if (reading_.Digits && digits) ReadDigitsAlike(text, read, copied);
  if (!copied) return text;
  if (++nextRead_ == kReadBuffers) nextRead_ = 0;
  return {read, text.size()};
}

TRepeatedLines::Key TRepeatedLines::KeyOf(const TDynInfo& startStyle, uint32_t startStyleId, uint32_t startFamily,
                                          bool last, std::u16string_view text) {
  uint32_t indent = 0;
  if (reading_.IgnoresIndent) indent = static_cast<uint32_t>(LeadingBlanks(text));
  text.remove_prefix(indent);
  if (text.size() <= kMaxLength) text = Read(text);
  const uint32_t indentClass = std::min<uint32_t>(indent, startStyle.OpenKeyLength);
  // Paragraphs too long to keep are not hashed at all.
  const uint64_t hash =
      text.size() > kMaxLength
          ? 0
          : HashUnits(text.data(), text.size()) ^
                ((uint64_t{startFamily} << 9 | uint64_t{indentClass} << 1 | (last ? 1 : 0)) * 0x9e3779b97f4a7c15ULL);
  return Key{startStyleId, startFamily, last, text, indent, indentClass, hash};
}

void TRepeatedLines::Prefetch(const Key& key) const {
  if (key.Text.size() <= kMaxLength) __builtin_prefetch(&index_[PlaceOf(key.Hash)]);
}

void TRepeatedLines::PrefetchOutcome(const Key& key) const {
  if (key.Text.size() > kMaxLength) return;
  const uint64_t place = index_[PlaceOf(key.Hash)];
  if (place == 0 || Tag(place) != Tag(key.Hash)) return;
  // A script line's outcome (header, runs and text) spans two or three lines of the cache.
  const auto* entry = reinterpret_cast<const char*>(EntryAt(place));
  for (const size_t at : {0, 64, 128}) __builtin_prefetch(entry + at);
}

bool TRepeatedLines::Matches(const Entry& entry, const Key& key) const {
  // The hash only finds the outcome: the paragraph itself must be the same.
  return entry.Hash == key.Hash && entry.StartFamily == key.StartFamily && entry.Last == key.Last &&
         entry.IndentClass == key.IndentClass && entry.Length == key.Text.size() &&
         std::equal(key.Text.begin(), key.Text.end(), entry.Text());
}

bool TRepeatedLines::Find(const Key& key, Outcome& out, size_t& from) const {
  if (key.Text.size() > kMaxLength) return false;
  const uint64_t tag = Tag(key.Hash);
  for (; from < places_; ++from) {
    const uint64_t place = index_[(PlaceOf(key.Hash) + from) & (places_ - 1)];
    if (place == 0) return false;
    if (Tag(place) != tag) continue;
    const Entry& entry = *EntryAt(place);
    if (!Matches(entry, key)) continue;
    ++from;
    out = Outcome{entry.Runs(),        entry.RunCount,      entry.ClearsLaidOut,      entry.SpanEnd,
                  entry.LookBackLevel, entry.LookBackStyle, entry.LowestLevel,        entry.StartStyle,
                  entry.ServesFamily,  entry.FollowsStart,  entry.SpanEndFollowsStart};
    return true;
  }
  return false;
}

void TRepeatedLines::Remember(const Key& key, const Outcome& outcome) {
  if (key.Text.size() > kMaxLength || outcome.Count > kMaxRuns) return;
  const size_t bytes = EntryBytes(outcome.Count, key.Text.size());
  // A full table or store keeps what it holds; the rest of the catch-up runs the passes.
  if (2 * (filled_ + 1) > places_ || stored_ + bytes > storeBytes_) return;
  auto* entry = reinterpret_cast<Entry*>(store_.get() + stored_);
  *entry = Entry{key.Hash,
                 outcome.FollowsStart,
                 key.StartStyle,
                 key.StartFamily,
                 outcome.SpanEnd,
                 outcome.LookBackStyle,
                 static_cast<uint16_t>(key.Text.size()),
                 static_cast<uint8_t>(outcome.Count),
                 static_cast<uint8_t>(key.IndentClass),
                 key.Last,
                 outcome.ClearsLaidOut,
                 static_cast<int8_t>(outcome.LookBackLevel),
                 static_cast<int8_t>(outcome.LowestLevel),
                 outcome.ServesFamily,
                 outcome.SpanEndFollowsStart};
  std::copy(outcome.Runs, outcome.Runs + outcome.Count, entry->Runs());
  std::copy(key.Text.begin(), key.Text.end(), entry->Text());
  size_t at = PlaceOf(key.Hash);
  while (index_[at] != 0) at = (at + 1) & (places_ - 1);
  index_[at] = Tag(key.Hash) | (stored_ / 8 + 1);
  stored_ += bytes;
  ++filled_;
}

}  // namespace qm::scan
