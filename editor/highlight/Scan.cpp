// The start-stop pass, the run helpers shared with the keyword and number passes, and the lazy parse.
#include "editor/highlight/Scan.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <new>
#include <optional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "editor/highlight/ChainKeywordIndex.h"
#include "editor/highlight/Highlighter.h"
#include "editor/highlight/KeyOptions.h"
#include "editor/highlight/KeywordList.h"
#include "editor/highlight/LevelsMet.h"
#include "editor/highlight/OwnKeywords.h"
#include "editor/highlight/RepeatedLines.h"
#include "editor/highlight/StartKeyFilter.h"
#include "editor/store/CaseFolding.h"

namespace qm::scan {

void TParagraphText::Reset(std::u16string_view text) {
  text_ = text;
  foldedType_ = -1;
  wordsType_ = -1;
}

std::u16string_view TParagraphText::Fold(TpmUpperCase type) {
  folded_.resize(text_.size());
  FoldCaseCopy(text_.data(), folded_.data(), text_.size(), type);
  foldedType_ = static_cast<int>(type);
  return folded_;
}

const std::vector<TParagraphText::Word>& TParagraphText::SplitWords(const TCharSet& separators, TpmUpperCase type,
                                                                    bool withPlain) {
  const std::u16string_view folded = Folded(type);
  const TCharTable& table = separatorTable_.Of(separators);
  auto isSeparator = [&table](char16_t c) { return table.Contains(c); };
  words_.clear();
  const char16_t* text = text_.data();
  const auto n = static_cast<int32_t>(text_.size());
  int32_t i = 0;
  for (;;) {
    while (i < n && isSeparator(text[i])) ++i;
    if (i >= n) break;
    int32_t j = i + 1;
    while (j < n && !isSeparator(text[j])) ++j;
    const auto len = static_cast<size_t>(j - i);
    words_.push_back(Word{i, j - i, withPlain ? HashUnits(text + i, len) : 0, HashUnits(folded.data() + i, len)});
    i = j;
  }
  wordsType_ = static_cast<int>(type);
  wordsPlain_ = withPlain;
  return words_;
}

uint8_t KeyLengthField(int length) { return static_cast<uint8_t>(std::clamp(length, 0, 255)); }

TDynInfo KeywordRun(const TDynInfo& style, uint8_t entryStyle, TColor background, TColor foreground, int32_t contextNum,
                    int16_t cursor, int index, int length) {
  const int level = style.KeyLevel();
  TDynInfo run = style;
  run.Kind = static_cast<uint8_t>(entryStyle + dkKeyStyle);
  run.Level = static_cast<int8_t>(level + 1);
  // Indices beyond the 16-bit stack entry stay non-negative, never read as a span.
  run.KeyStack[level + 1] = static_cast<int16_t>(std::clamp(index, 0, kMaxStackIndex));
  run.Background = background;
  run.Foreground = foreground;
  run.ContextNum = contextNum;
  run.Cursor = cursor;
  run.OpenKeyLength = KeyLengthField(length);
  run.CloseKeyLength = KeyLengthField(length);
  return run;
}

int FirstRun(const TParagraphsList& list, int par, int32_t x, bool pastRuns) {
  const ParExtraInfo* e = list.Extra(par);
  if (e == nullptr || e->RunCount == 0) return 0;
  const TRunRec* runs = e->Runs();
  const TRunRec* end = runs + e->RunCount;
  const auto it = pastRuns ? std::upper_bound(runs, end, x, [](int32_t v, const TRunRec& r) { return v < r.Offset; })
                           : std::lower_bound(runs, end, x, [](const TRunRec& r, int32_t v) { return r.Offset < v; });
  return static_cast<int>(it - runs);
}

TDynInfo StyleAt(const TParagraphsList& list, int par, int32_t x, bool pastRuns) {
  const ParExtraInfo* e = list.Extra(par);
  if (e == nullptr) return list.Styles.Get(0);
  const int k = FirstRun(list, par, x, pastRuns);
  TDynInfo style = list.Styles.Get(k > 0 ? e->Runs()[k - 1].Attr : e->StartStyle);
  style.Offset = k > 0 ? e->Runs()[k - 1].Offset : 0;
  return style;
}

TDynInfo OuterStyle(const TRunBuffer& runs, int32_t x, bool pastRuns, int level) {
  for (int i = runs.FirstRun(x, pastRuns) - 1; i >= 0; --i)
    if (runs.Style(i).KeyLevel() < level) return runs.Run(i);
  if (runs.StartStyle().KeyLevel() < level) return runs.StartStyle();
  int32_t offset = 0;
  const TLevelsMet* levels = runs.Levels();
  const uint32_t id = levels != nullptr && levels->Covers(runs.Par())
                          ? levels->OuterStyleBefore(runs.List(), runs.Par(), level, offset)
                          : OuterStyleBefore(runs.List(), runs.Par(), level, offset);
  runs.NoteLookBack(level, id);
  TDynInfo run = runs.List().Styles.Get(id);
  run.Offset = offset;
  return run;
}

uint32_t OuterStyleBefore(const TParagraphsList& list, int par, int level, int32_t& offset) {
  // Walk the stored runs by number: most of them are passed over unread.
  offset = 0;
  for (int p = par - 1; p >= 0; --p) {
    const ParExtraInfo* e = list.Extra(p);
    if (e == nullptr) return 0;  // the default style, level -1, is below every level
    for (int i = static_cast<int>(e->RunCount) - 1; i >= 0; --i) {
      const TRunRec& rec = e->Runs()[i];
      if (list.Styles.Get(rec.Attr).KeyLevel() < level) {
        offset = rec.Offset;
        return rec.Attr;
      }
    }
    if (list.Styles.Get(e->StartStyle).KeyLevel() < level) return e->StartStyle;
  }
  return 0;
}

bool ScanEqual(const TDynInfo& a, const TDynInfo& b) {
  if ((a.Kind & dkKeyStyle) != (b.Kind & dkKeyStyle)) return false;
  if (!(a.Kind & dkHighlight)) return true;
  if (a.Level != b.Level || a.ContextNum != b.ContextNum) return false;
  for (int i = 0; i <= std::min<int>(a.Level, kMaxKeyLevel); ++i)
    if (a.KeyStack[i] != b.KeyStack[i]) return false;
  return true;
}

int ChainScopeLevel(TScanHost& host, int key) {
  if (key < host.OwnStartStopKeys().Count()) return host.OwnStartStopKeys().Entry(key).ScopeLevel;
  int base = host.OwnStartStopKeys().Count();
  int level = 0;
  EveryInChain(host.Highlighter(), [&](TPlusHighlighterU& h) {
    const int count = h.OwnStartStopCount();
    if (key >= base + count) {
      base += count;
      return true;
    }
    level = h.StartStopScopeLevel(key - base);
    return false;
  });
  return level;
}

int EnclosingLevel(const TDynInfo& style, int base, const TStartStopKeyList* own, TScanHost& host) {
  if (!(style.Kind & dkHighlight) || style.Level < 0) return 0;
  const int16_t top = style.KeyStack[std::min<int>(style.Level, kMaxKeyLevel)];
  if (top >= 0) return kScopeEverywhere;
  const int i = StackIndex(top) - base;
  if (own != nullptr && i >= 0 && i < own->Count()) return own->Entry(i).ScopeLevel;
  // A span of another list shields its text from keys of a lower scope level
  // than its own, but not from keys of its level: a block of the first list
  // holds the other lists' words and keys, while its comments and strings
  // hold none of them.
  return std::max(ChainScopeLevel(host, StackIndex(top)) - 1, 0);
}

namespace {

// Kinds of derivation in the style table's cache (the top byte of its first word).
constexpr uint64_t kDeriveLowered = uint64_t{1} << 56;
constexpr uint64_t kDeriveKeyword = uint64_t{2} << 56;
constexpr uint64_t kDeriveNumber = uint64_t{3} << 56;
constexpr uint64_t kDeriveClosing = uint64_t{4} << 56;

// Style id with its closing key length set to close.
uint32_t WithCloseLength(TStyleTable& styles, uint32_t id, uint8_t close) {
  if (styles.Get(id).CloseKeyLength == close) return id;
  return styles.Derived(id, kDeriveClosing | close, 0, 0, [&] {
    TDynInfo style = styles.Get(id);
    style.CloseKeyLength = close;
    return style;
  });
}

// ApplyRun with the new run's number made by newId, and only when it is inserted.
template <typename NewId>
void ApplyRunWith(TRunBuffer& runs, int32_t x, int32_t y, bool forceOn, NewId&& newId) {
  TParagraphsList& list = runs.List();
  if (y < x) std::swap(x, y);
  int k = runs.FirstRun(x, true);
  uint32_t remembered = k > 0 ? runs.Attr(k - 1) : runs.StartStyleId();
  int32_t rememberedAt = k > 0 ? runs.Offset(k - 1) : 0;
  if (forceOn || (list.Styles.Get(remembered).Kind & dkHighlight)) {
    runs.Insert(k, x, newId());
    ++k;
  }
  int j = k;
  while (j < runs.Count() && runs.Offset(j) < y) {
    remembered = runs.Attr(j);
    rememberedAt = runs.Offset(j);
    ++j;
  }
  runs.Erase(k, j - k);
  runs.ClearLaidOut();
  const bool textEnd = runs.IsLast() && y >= runs.Length();
  if (textEnd || !(forceOn || (list.Styles.Get(remembered).Kind & dkHighlight))) return;
  const TDynInfo& style = list.Styles.Get(remembered);
  const uint8_t open = KeyLengthField(style.OpenKeyLength - (y - rememberedAt));
  if (open != style.OpenKeyLength) {
    const uint32_t from = remembered;
    remembered = list.Styles.Derived(from, kDeriveLowered | open, 0, 0, [&] {
      TDynInfo lowered = list.Styles.Get(from);
      lowered.OpenKeyLength = open;
      return lowered;
    });
  }
  runs.Insert(k, y, remembered);
}

}  // namespace

void ApplyRun(TRunBuffer& runs, int32_t x, int32_t y, TDynInfo run, bool forceOn) {
  ApplyRunWith(runs, x, y, forceOn, [&] {
    run.Kind = forceOn ? static_cast<uint8_t>(run.Kind | dkHighlight) : 0;
    return runs.List().Styles.Intern(run);
  });
}

void ApplyRunId(TRunBuffer& runs, int32_t x, int32_t y, uint32_t attr) {
  ApplyRunWith(runs, x, y, true, [attr] { return attr; });
}

uint32_t NumberRunId(TStyleTable& styles, uint32_t styleId, uint8_t kind, TColor background, TColor foreground,
                     int32_t contextNum, int keywordBase, int length) {
  const auto base = static_cast<uint16_t>(std::clamp(keywordBase, 0, kMaxStackIndex));
  const uint64_t a = kDeriveNumber | kind | (uint64_t{KeyLengthField(length)} << 8) | (uint64_t{base} << 16);
  const uint64_t b = (uint64_t{static_cast<uint32_t>(background)} << 32) | static_cast<uint32_t>(foreground);
  return styles.Derived(styleId, a, b, static_cast<uint32_t>(contextNum), [&] {
    const TDynInfo& style = styles.Get(styleId);
    const int level = style.KeyLevel();
    TDynInfo run = style;
    run.Kind = static_cast<uint8_t>(kind | dkHighlight);  // as ApplyRun with forceOn stores it
    run.Background = background;
    run.Foreground = foreground;
    run.ContextNum = contextNum;
    run.Cursor = 0;
    run.OpenKeyLength = KeyLengthField(length);
    run.CloseKeyLength = KeyLengthField(length);
    run.Level = static_cast<int8_t>(level + 1);
    run.KeyStack[level + 1] = static_cast<int16_t>(base);
    return run;
  });
}

uint32_t KeywordRunId(TStyleTable& styles, uint32_t styleId, uint8_t entryStyle, TColor background, TColor foreground,
                      int32_t contextNum, int16_t cursor, int index, int length) {
  const auto clampedIndex = static_cast<uint16_t>(std::clamp(index, 0, kMaxStackIndex));
  const uint64_t a = kDeriveKeyword | entryStyle | (uint64_t{KeyLengthField(length)} << 8) |
                     (uint64_t{clampedIndex} << 16) | (uint64_t{static_cast<uint16_t>(cursor)} << 32);
  const uint64_t b = (uint64_t{static_cast<uint32_t>(background)} << 32) | static_cast<uint32_t>(foreground);
  return styles.Derived(styleId, a, b, static_cast<uint32_t>(contextNum), [&] {
    TDynInfo run =
        KeywordRun(styles.Get(styleId), entryStyle, background, foreground, contextNum, cursor, index, length);
    run.Kind |= dkHighlight;  // as ApplyRun with forceOn stores it
    return run;
  });
}

namespace {

bool IsSep(const TCharSet& separators, std::u16string_view text, int32_t i) {
  return separators.Contains(text[static_cast<size_t>(i)]);
}

// A run carrying attributes without an open key: static marks the span pass keeps.
bool IsStaticMark(const TDynInfo& r) { return (r.Kind & dkHighlight) && r.KeyLevel() < 0; }

}  // namespace

TScanPar::TScanPar(TScanHost& host, int par)
    : host_(host), par_(par), start_(host.Paragraphs().StartOffset(par)), textData_(host.Paragraphs().Text(par)) {
  runs_->Load(host.Paragraphs(), par);
}

TParagraphText& TScanPar::FetchText() const {
  text_ = &host_.ScanText(par_);
  return *text_;
}

namespace {

// Where a stop key may lie: from `Start` to `End`; at an end of the
// paragraph the separator test on that side is dropped.
struct TStopWindow {
  int32_t Start = 0;
  int32_t End = 0;
  bool DropBefore = false;
  bool DropAfter = false;
};

// The window for the stop key of the span in effect at `from` (the style
// held by run styleRun, or the paragraph's start style), searched up to `end`.
TStopWindow StopWindow(int32_t length, const StartStopEntry& entry, int32_t from, int32_t end, int styleRun,
                       const TDynInfo& style) {
  const int before = entry.NeedSepBeforeStop ? 1 : 0;
  const int after = entry.NeedSepAfterStop ? 1 : 0;
  TStopWindow w;
  w.Start = from - entry.StopLength - before;
  if (w.Start <= 0) {
    w.Start = 0;
    w.DropBefore = true;
  }
  // The window never begins inside the span's own start key.
  if (styleRun >= 0) w.Start = std::max(w.Start, style.Offset + style.OpenKeyLength);
  w.End = end + entry.StopLength + after;
  if (w.End >= length) {
    w.End = length;
    w.DropAfter = true;
  }
  return w;
}

// Where the stop key of the search lies in the window (its length in
// keyLength), or -1. The handler of OnStop may refuse a hit.
int32_t FindStopHit(TScanPar& ps, int32_t from, const TStopSearch& search, const TStopWindow& w, int32_t& keyLength) {
  const StartStopEntry& entry = search.List->Entry(search.Entry);
  TParagraphText& text = ps.Text();
  const std::u16string_view plain = text.Plain();
  const auto length = static_cast<int32_t>(plain.size());
  const int32_t stopLength = entry.StopLength;
  keyLength = stopLength;
  if (search.Extended && entry.ScopeContext == kEndsAtSeparator) {
    // Such a span ends at the first separator after its start.
    keyLength = 0;
    for (int32_t i = w.Start; i < w.End; ++i)
      if (IsSep(*search.Separators, plain, i)) return i;
    return -1;
  }
  if (stopLength == 0 || w.End - w.Start < stopLength) return -1;
  const bool matchCase = entry.Options & kwoMatchCase;
  const std::u16string_view hay =
      (matchCase ? plain : text.Folded(search.List->UpperCaseType())).substr(0, static_cast<size_t>(w.End));
  const std::u16string_view key = entry.StopMatch();
  const int32_t parStart = ps.List().StartOffset(ps.Par());
  for (size_t at = FindUnits(hay, key, static_cast<size_t>(w.Start)); at != std::u16string_view::npos;
       at = FindUnits(hay, key, at + 1)) {
    const auto i = static_cast<int32_t>(at);
    if (entry.NeedSepBeforeStop && !(w.DropBefore && i == w.Start) && i > 0 && !IsSep(*search.Separators, plain, i - 1))
      continue;
    if (entry.NeedSepAfterStop && !(w.DropAfter && i + stopLength >= length) && i + stopLength < length &&
        !IsSep(*search.Separators, plain, i + stopLength))
      continue;
    if (search.OnStop) {
      ps.Store();  // the handler may look at the runs
      if (!search.OnStop(parStart + from, parStart + i + stopLength, search.Entry)) continue;
    }
    return i;
  }
  return -1;
}

// The style after the stop key: the continuation entry's when one follows
// the closing entry, else the style outside the span.
TDynInfo StyleAfterStop(TRunBuffer& runs, int32_t from, bool fromPastRuns, const TStopSearch& search,
                        const TDynInfo& style) {
  const int level = style.KeyLevel();
  const int continuation = search.List->FindContinuation(search.Entry, search.Extended);
  if (continuation < 0) return OuterStyle(runs, from, fromPastRuns, level);
  const StartStopEntry& c = search.List->Entry(continuation);
  TDynInfo next = style;
  next.KeyStack[level] = SpanEntry(search.Base + continuation);
  next.Kind = static_cast<uint8_t>(c.Style + dkKeyStyle);
  next.Cursor = c.Cursor;
  next.Background = c.Background;
  next.Foreground = c.Foreground;
  next.ContextNum = c.ContextNum;
  next.CloseKeyLength = KeyLengthField(c.StopLength);
  runs.NoteCloseLengthSet(next.CloseKeyLength);
  return next;
}

}  // namespace

bool SearchStop(TScanPar& ps, int32_t from, bool fromPastRuns, int32_t& end, const TStopSearch& search) {
  TRunBuffer& runs = ps.Runs();
  const StartStopEntry& entry = search.List->Entry(search.Entry);
  const int32_t length = runs.Length();
  const int styleRun = runs.FirstRun(from, fromPastRuns) - 1;
  const TDynInfo style = styleRun >= 0 ? runs.Run(styleRun) : runs.StartStyle();
  const TStopWindow window = StopWindow(length, entry, from, end, styleRun, style);
  int32_t keyLength = 0;
  int32_t hit = FindStopHit(ps, from, search, window, keyLength);
  if (hit < 0) {
    if (!(entry.StopAtParEnd && end >= length)) return false;
    hit = length;
    keyLength = 0;
  }

  // The stop key's own runs go; the span's opening run learns its closing length.
  const int first = runs.FirstRun(hit, true);
  const int last = runs.FirstRun(hit + keyLength, false);
  if (last > first) runs.Erase(first, last - first);
  end = hit + keyLength;
  if (styleRun >= 0 && styleRun < runs.Count() && runs.Offset(styleRun) < from) {
    TDynInfo opening = runs.Run(styleRun);
    opening.CloseKeyLength = KeyLengthField(entry.StopLength + (entry.NeedSepBeforeStop ? 1 : 0));
    runs.NoteCloseLengthSet(opening.CloseKeyLength);
    runs.Set(styleRun, opening);
  }
  TDynInfo next = StyleAfterStop(runs, from, fromPastRuns, search, style);
  next.OpenKeyLength = 0;
  next.Offset = end;
  runs.Insert(runs.FirstRun(end, true), next);
  return true;
}

namespace {

// Whether a key of the list may open under the style in effect.
bool StartAllowed(const TStartSearch& search, const TDynInfo& style, const StartStopEntry& entry, TScanHost& host) {
  if (!search.Extended) {
    // Inside a span only its stop key counts; keywords on top do not shield.
    const int level = style.KeyLevel();
    return level < 0 || style.KeyStack[level] >= 0;
  }
  if (entry.ScopeLevel == kScopeEverywhere) return true;
  if (entry.ScopeContext == 0 && EnclosingLevel(style, search.Base, search.List, host) < entry.ScopeLevel) return true;
  return style.Context() == entry.ScopeContext && (entry.ScopeContext != 0 || !(style.Kind & dkHighlight));
}

// The first entry from e on whose bit is set in mayBegin; entries past the
// 64 bits are always tried; count when there is none.
int NextEntry(uint64_t mayBegin, int e, int count) {
  if (e < 64) {
    const uint64_t rest = mayBegin & (~uint64_t{0} << e);
    if (rest != 0) return std::min(std::countr_zero(rest), count);
    e = 64;
  }
  return std::min(e, count);
}

}  // namespace

namespace {

// Whether entry e of the search's list begins at i under the style in
// effect there, as a key that may open a span: it fits the window, does not
// end before `from` (what did was dealt with already), matches with its
// separators, is allowed there, is not a string's closing quote, and the
// handler of OnStart accepts it.
bool StartsHere(TScanPar& ps, const TStartSearch& search, int e, int32_t i, int32_t from, int32_t windowEnd,
                const TDynInfo& current, std::u16string_view plain, std::u16string_view folded) {
  const TStartStopKeyList& keys = *search.List;
  const StartStopEntry& entry = keys.Entry(e);
  const int32_t keyLength = entry.StartLength;
  if (keyLength == 0 || i + keyLength > windowEnd) return false;
  if (i + keyLength + (entry.NeedSepAfterStart ? 1 : 0) <= from) return false;
  // Most positions fail on the second unit; test it before the whole key.
  const auto at = static_cast<size_t>(i);
  const std::u16string_view hay = (entry.Options & kwoMatchCase) ? plain : folded;
  if (keyLength > 1 && hay[at + 1] != entry.StartMatch()[1]) return false;
  if (!keys.StartMatchesAt(static_cast<size_t>(e), plain, folded, at, *search.Separators)) return false;
  if (!StartAllowed(search, current, entry, ps.Host())) return false;
  // A closing quote does not open the same kind of span again.
  if (entry.StartText() == entry.StopText() && current.KeyStack[current.KeyLevel() + 1] == SpanEntry(search.Base + e))
    return false;
  if (search.OnStart) {
    ps.Store();  // the handler may look at the runs
    if (!search.OnStart(ps.List().StartOffset(ps.Par()) + i, e)) return false;
  }
  return true;
}

// Opens the span of entry e at i, nested on `style`.
void OpenSpan(TRunBuffer& runs, const TStartSearch& search, int e, int32_t i, const TDynInfo& style) {
  const StartStopEntry& entry = search.List->Entry(e);
  const int32_t keyLength = entry.StartLength;
  const int n = style.KeyLevel() + 1;
  const int styleRun = runs.FirstRun(i, true) - 1;
  if (n > 0 && styleRun >= 0) {
    TDynInfo prev = runs.Run(styleRun);
    prev.CloseKeyLength = 0;
    runs.NoteCloseLengthSet(0);
    runs.Set(styleRun, prev);
  }
  const int inFirst = runs.FirstRun(i, true);
  const int inLast = runs.FirstRun(i + keyLength, false);
  if (inLast > inFirst) runs.Erase(inFirst, inLast - inFirst);
  TDynInfo run = style;
  run.Kind = static_cast<uint8_t>(entry.Style + dkKeyStyle);
  run.Level = static_cast<int8_t>(n);
  run.KeyStack[n] = SpanEntry(search.Base + e);
  run.Cursor = entry.Cursor;
  run.Background = entry.Background;
  run.Foreground = entry.Foreground;
  run.ContextNum = entry.ContextNum;
  run.OpenKeyLength = KeyLengthField(keyLength + (entry.NeedSepAfterStart ? 1 : 0));
  run.CloseKeyLength = KeyLengthField(entry.StopLength);
  // The span opens at the level the start style's span held ("end begin"):
  // its closing length is the entry's, not one carried from the start.
  runs.NoteCloseLengthSet(run.CloseKeyLength);
  run.Offset = i;
  const int firstAt = runs.FirstRun(i, false);
  if (firstAt < runs.Count() && runs.Offset(firstAt) == i) {
    // Overwrite the last run that starts at i.
    runs.Set(runs.FirstRun(i, true) - 1, run);
  } else {
    runs.Insert(firstAt, run);
  }
}

}  // namespace

bool SearchStart(TScanPar& ps, int32_t from, bool /*fromPastRuns*/, int32_t& end, const TStartSearch& search) {
  TRunBuffer& runs = ps.Runs();
  const TStartStopKeyList& keys = *search.List;
  if (keys.Count() == 0) return false;
  TParagraphText& text = ps.Text();
  const std::u16string_view plain = text.Plain();
  const auto length = static_cast<int32_t>(plain.size());
  const int32_t longest = keys.MaxStartLength() + 1;
  const int32_t windowStart = std::max(from - std::min(from, longest), ps.FirstStart());
  const int32_t windowEnd = end + std::min(length - end, longest);
  // Only positions whose unit can begin some key are tried.
  const bool anyFolded = keys.AnyFoldedKey();
  const TCharSet& plainFirst = keys.PlainFirstUnits();
  const TCharSet& foldedFirst = keys.FoldedFirstUnits();
  const std::u16string_view folded = anyFolded ? text.Folded(keys.UpperCaseType()) : plain;

  // The style in effect follows the runs as i advances.
  int k = runs.FirstRun(windowStart, true);
  uint32_t styleId = k > 0 ? runs.Attr(k - 1) : runs.StartStyleId();
  const uint8_t* candidates = keys.StartCandidates();
  const int32_t last = std::min(end, length - 1);
  const int count = keys.Count();
  for (int32_t i = windowStart; i <= last; ++i) {
    // The entries whose first unit this can be (all of them without the table).
    uint64_t mayBegin = ~uint64_t{0};
    if (candidates != nullptr) {
      // Most units begin no key: pass over them in a tight loop.
      while (i <= last && candidates[plain[static_cast<size_t>(i)]] == 0) ++i;
      if (i > last) break;
      mayBegin = keys.StartCandidateEntries(candidates[plain[static_cast<size_t>(i)]]);
    } else if (!plainFirst.Contains(plain[static_cast<size_t>(i)]) &&
               !(anyFolded && foldedFirst.Contains(folded[static_cast<size_t>(i)]))) {
      continue;
    }
    while (k < runs.Count() && runs.Offset(k) <= i) styleId = runs.Attr(k++);
    const TDynInfo current = ps.List().Styles.Get(styleId);  // a copy: the style table may grow below
    if (current.KeyLevel() >= kMaxKeyLevel) continue;
    for (int e = NextEntry(mayBegin, 0, count); e < count; e = NextEntry(mayBegin, e + 1, count)) {
      if (!StartsHere(ps, search, e, i, from, windowEnd, current, plain, folded)) continue;
      OpenSpan(runs, search, e, i, current);
      end = i + keys.Entry(e).StartLength;
      return true;
    }
  }
  return false;
}

bool FindStopKey(TScanPar& ps, int32_t from, bool fromPastRuns, int32_t& end) {
  TScanHost& host = ps.Host();
  const TDynInfo& style = ps.List().Styles.Get(ps.Runs().StyleIdAt(from, fromPastRuns));
  const int level = style.KeyLevel();
  if (level < 0) return false;
  const int16_t top = style.KeyStack[level];
  const TStartStopKeyList& own = host.OwnStartStopKeys();
  if (top < 0 && StackIndex(top) < own.Count()) {
    TStopSearch search;
    search.List = &own;
    search.Entry = StackIndex(top);
    search.Separators = &host.OwnSeparators();
    return SearchStop(ps, from, fromPastRuns, end, search);
  }
  TPlusHighlighterU* h = host.Highlighter();
  return h != nullptr && h->StopKeyHook(ps, from, fromPastRuns, end, own.Count());
}

bool FindStartKey(TScanPar& ps, int32_t from, bool fromPastRuns, int32_t& end) {
  TScanHost& host = ps.Host();
  if (ps.List().Styles.Get(ps.Runs().StyleIdAt(from, fromPastRuns)).KeyLevel() >= kMaxKeyLevel) return false;
  TStartStopKeyList& own = host.OwnStartStopKeys();
  if (host.OwnStartStopKeysOn() && own.Count() > 0) {
    TStartSearch search;
    search.List = &own;
    search.Separators = &host.OwnSeparators();
    if (SearchStart(ps, from, fromPastRuns, end, search)) return true;
  }
  TPlusHighlighterU* h = host.Highlighter();
  return h != nullptr && h->StartKeyHook(ps, from, fromPastRuns, end, own.Count());
}

namespace {

void HandOn(TParagraphsList& list, int par, uint32_t endId);

// The start-stop pass over the paragraph of ps, its runs in the buffer;
// returns the style number in effect at the paragraph end, handed on. A
// filter that rules out every start key in the paragraph spares the searches.
uint32_t ParseSpansIn(TScanPar& ps, const TStartKeyFilter* filter = nullptr) {
  TScanHost& host = ps.Host();
  TParagraphsList& list = ps.List();
  TRunBuffer& runs = ps.Runs();
  const int par = ps.Par();
  if (host.OwnStartStopKeys().Count() > 0 && !host.OwnStartStopKeys().SeparatorsComputed())
    host.OwnStartStopKeys().ComputeSeparators(host.OwnSeparators());
  const int32_t len = runs.Length();
  int32_t from = 0;
  bool fromPastRuns = false;  // the runs at the paragraph start are the pass's to replace
  // No start key begins before the filter's first position: the searches skip what lies before it.
  const size_t firstStart = filter != nullptr ? filter->FirstStart(ps.Text().Plain()) : 0;
  const bool mayStart = firstStart != std::u16string_view::npos;
  if (mayStart) ps.SetFirstStart(static_cast<int32_t>(firstStart));
  for (;;) {
    // Static marks stay; the pass works between them.
    while (from < len && IsStaticMark(list.Styles.Get(runs.StyleIdAt(from, fromPastRuns)))) {
      const int k = runs.FirstRun(from, true);
      from = k < runs.Count() ? std::min(runs.Offset(k), len) : len;
      fromPastRuns = true;
    }
    int32_t end = len;
    const int k = runs.FirstRun(from, fromPastRuns);
    int j = k;
    while (j < runs.Count() && runs.Offset(j) <= len) {
      if (IsStaticMark(runs.Style(j))) {
        end = runs.Offset(j);
        break;
      }
      ++j;
    }
    runs.Erase(k, j - k);
    const bool stopped = FindStopKey(ps, from, fromPastRuns, end);
    const bool started = mayStart && FindStartKey(ps, from, fromPastRuns, end);
    if (end <= from && !started && !stopped) {
      if (from >= len) break;
      end = len;  // nothing more in this stretch
    }
    from = end;
    fromPastRuns = true;
    if (from >= len && !started) break;
  }
  list.SetFlags(par, list.Flags(par) | pfSpansParsed);
  const uint32_t endId = runs.StyleIdAt(len, true);
  HandOn(list, par, endId);
  return endId;
}

// Hands a changed end style of paragraph par on to the next paragraph, which
// is then parsed when needed.
void HandOn(TParagraphsList& list, int par, uint32_t endId) {
  if (par + 1 < list.Count) {
    const uint32_t nextId = list.StartStyleId(par + 1);
    if (endId == nextId) return;
    const TDynInfo end = list.Styles.Get(endId);
    if (!ScanEqual(end, list.Styles.Get(nextId))) {
      list.SetStartStyleId(par + 1, endId);
      list.SetFlags(par + 1, list.Flags(par + 1) & ~pfHighlightBits);
      list.FormatLast = std::max(list.FormatLast, par + 1);
    } else {
      // Equal for the scan but not in every attribute: keep the exact block.
      list.SetStartStyleId(par + 1, endId);
    }
  }
}

// The chain's keyword passes over the paragraph of ps for a pass over from … to.
void ChainKeywords(TScanPar& ps, int32_t from, int32_t to, int fromPar, int toPar) {
  TScanHost& host = ps.Host();
  if (TPlusHighlighterU* h = host.Highlighter())
    h->KeywordHook(ps, from, to, fromPar, toPar, host.OwnKeywords().Count());
}

bool HasStaticMarks(const TParagraphsList& list, int par) {
  // Asked of every paragraph of a catch-up: one look at its record.
  const ParExtraInfo* e = list.Extra(par);
  if (e == nullptr) return false;
  const TRunRec* runs = e->Runs();
  for (uint32_t k = 0; k < e->RunCount; ++k)
    if (IsStaticMark(list.Styles.Get(runs[k].Attr))) return true;
  return false;
}

// The repeated-lines table's key of paragraph par under start style startId, of family startFamily.
TRepeatedLines::Key RepeatKey(const TParagraphsList& list, int par, uint32_t startId, uint32_t startFamily,
                              TRepeatedLines& repeats) {
  return repeats.KeyOf(list.Styles.Get(startId), startId, startFamily, par == list.Count - 1, list.TextView(par));
}

// Keys made one paragraph ahead, so that the next paragraph's table place in the
// table is loaded while this paragraph is worked on. Most paragraphs start
// under the style the one before them started under: the next key is first
// made under that style, and made again should the style this paragraph hands
// on (known once its outcome is found or its span pass done) be another.
class TKeysAhead {
 public:
  explicit TKeysAhead(TRepeatedLines& repeats) : repeats_(repeats) {}

  // The key of par; the next paragraph's key is made under the same start style.
  TRepeatedLines::Key KeyOf(TParagraphsList& list, int par) {
    const uint32_t startId = list.StartStyleId(par);
    const TRepeatedLines::Key key = aheadPar_ == par && ahead_.StartStyle == startId
                                        ? ahead_
                                        : RepeatKey(list, par, startId, FamilyOf(list, startId), repeats_);
    // Its table place was loaded while the paragraph before was worked on;
    // its outcome loads while the next key is made.
    repeats_.PrefetchOutcome(key);
    MakeNext(list, par, startId);
    return key;
  }
  // The paragraph after par will start under endId.
  void HandsOn(TParagraphsList& list, int par, uint32_t endId) {
    if (aheadPar_ == par + 1 && ahead_.StartStyle != endId) MakeNext(list, par, endId);
  }

 private:
  void MakeNext(TParagraphsList& list, int par, uint32_t startId) {
    aheadPar_ = -1;
    if (par + 1 >= list.Count) return;
    ahead_ = RepeatKey(list, par + 1, startId, FamilyOf(list, startId), repeats_);
    aheadPar_ = par + 1;
    repeats_.Prefetch(ahead_);
  }
  // Start styles change seldom from one paragraph to the next.
  uint32_t FamilyOf(TParagraphsList& list, uint32_t startId) {
    if (startId != familyOf_) {
      familyOf_ = startId;
      family_ = WithCloseLength(list.Styles, startId, 0);
    }
    return family_;
  }

  TRepeatedLines& repeats_;
  uint32_t familyOf_ = 0;
  uint32_t family_ = 0;
  TRepeatedLines::Key ahead_{};
  int aheadPar_ = -1;
};

// Whether the repeated-lines table is used for a paragraph. Making a key
// and keeping an outcome cost about half of what the passes cost over a
// line, so the table pays only where most lines are found: over a stretch
// where fewer than half of them are, it rests for a longer stretch, then is
// tried again. The paragraphs it rests over go through the passes.
class TTableUse {
 public:
  static constexpr int kStretch = 4096;        // lookups judged together
  static constexpr int kRest = 16 * kStretch;  // paragraphs left to the passes then

  bool On(int par) const { return par >= restUntil_; }
  void Count(int par, bool found) {
    ++tries_;
    found_ += found ? 1 : 0;
    if (tries_ < kStretch) return;
    if (2 * found_ < tries_) restUntil_ = par + 1 + kRest;
    tries_ = 0;
    found_ = 0;
  }

 private:
  int tries_ = 0;
  int found_ = 0;
  int restUntil_ = 0;
};

// The outcome kept for key that serves paragraph par: made under the same
// start style or serving its family, and looking back at the style in
// effect before par where it looked back.
bool FindServing(const TParagraphsList& list, int par, const TRepeatedLines& repeats, const TRepeatedLines::Key& key,
                 const TLevelsMet& levels, TRepeatedLines::Outcome& done) {
  size_t from = 0;
  while (repeats.Find(key, done, from)) {
    if (done.StartStyle != key.StartStyle && !done.ServesFamily) continue;
    if (done.LookBackLevel < 0 || levels.OuterStyleBefore(list, par, done.LookBackLevel) == done.LookBackStyle)
      return true;
  }
  return false;
}

// A kept run's style under the start style startId: a run that carries its
// start's closing key length takes the new start's.
uint32_t ServedStyle(TStyleTable& styles, uint32_t attr, bool followsStart, uint32_t startId) {
  return followsStart ? WithCloseLength(styles, attr, styles.Get(startId).CloseKeyLength) : attr;
}

// Gives paragraph par the outcome of both passes that the table holds for its
// key, as the passes would have left it; false when it holds none. The
// paragraph is not loaded for the passes at all.
bool TakeRepeat(TParagraphsList& list, int par, TRepeatedLines& repeats, const TRepeatedLines::Key& key,
                TKeysAhead& keys, TLevelsMet& levels) {
  TRepeatedLines::Outcome done;
  if (!FindServing(list, par, repeats, key, levels, done)) return false;
  const bool own = done.StartStyle == key.StartStyle;
  if (!own) done.SpanEnd = ServedStyle(list.Styles, done.SpanEnd, done.SpanEndFollowsStart, key.StartStyle);
  levels.Note(par, done.LowestLevel);
  keys.HandsOn(list, par, done.SpanEnd);
  if (own && key.Indent == 0) {
    list.SetRunRecs(par, done.Runs, done.Count);
  } else {
    std::array<TRunRec, TRepeatedLines::kMaxRuns> moved;
    const auto indent = static_cast<int32_t>(key.Indent);
    for (uint32_t k = 0; k < done.Count; ++k) moved[k] = TRunRec{done.Runs[k].Offset + indent, done.Runs[k].Attr};
    if (!own)
      for (uint32_t k = 0; k < done.Count; ++k)
        if ((done.FollowsStart >> k) & 1) moved[k].Attr = ServedStyle(list.Styles, moved[k].Attr, true, key.StartStyle);
    list.SetRunRecs(par, moved.data(), done.Count);
  }
  auto flags = static_cast<uint8_t>(list.Flags(par) | pfSpansParsed | pfKeywordsApplied);
  if (done.ClearsLaidOut) flags = static_cast<uint8_t>(flags & ~pfLaidOut);
  list.SetFlags(par, flags);
  HandOn(list, par, done.SpanEnd);
  return true;
}

// Equal but for the key lengths.
bool SameButKeyLengths(const TDynInfo& a, const TDynInfo& b) {
  return a.Kind == b.Kind && a.Level == b.Level && a.Background == b.Background && a.Foreground == b.Foreground &&
         a.ContextNum == b.ContextNum && a.Cursor == b.Cursor &&
         std::memcmp(a.KeyStack, b.KeyStack, sizeof(a.KeyStack)) == 0;
}

// Which runs of an outcome made under start style startId carry that style's
// closing key length, so that it serves the start's family. A run carries it
// when it is a copy of the start but for key lengths and has its closing
// length, unless the passes set that same length on such a copy; then the
// outcome serves its own start only.
void NoteFollowers(const TStyleTable& styles, const TRunBuffer& runs, TRepeatedLines::Outcome& made) {
  const TDynInfo& start = styles.Get(made.StartStyle);
  if (runs.CloseLengthSet(start.CloseKeyLength)) return;
  const auto follows = [&](uint32_t attr) {
    const TDynInfo& style = styles.Get(attr);
    return style.CloseKeyLength == start.CloseKeyLength && SameButKeyLengths(style, start);
  };
  for (uint32_t k = 0; k < made.Count; ++k)
    if (follows(made.Runs[k].Attr)) made.FollowsStart |= uint64_t{1} << k;
  made.SpanEndFollowsStart = follows(made.SpanEnd);
  made.ServesFamily = true;
}

// Both passes over the whole paragraph of ps, whose key the table did not
// hold; the outcome is remembered.
void SpansAndKeywords(TScanPar& ps, TRepeatedLines& repeats, const TStartKeyFilter* filter,
                      const TRepeatedLines::Key& key, TKeysAhead& keys, TLevelsMet& levels) {
  TParagraphsList& list = ps.List();
  TRunBuffer& runs = ps.Runs();
  const int par = ps.Par();
  const uint32_t spanEnd = ParseSpansIn(ps, filter);
  keys.HandsOn(list, par, spanEnd);
  const int32_t start = list.StartOffset(par);
  ChainKeywords(ps, start, start + runs.Length(), par, par);
  thread_local std::vector<TRunRec> outcome;
  runs.CopyRuns(outcome);
  const int lowest = LowestLevel(list.Styles, runs.StartStyleId(), outcome.data(), outcome.size());
  levels.Note(par, lowest);
  if (runs.LookBack().Mixed || outcome.size() > TRepeatedLines::kMaxRuns) return;
  const auto indent = static_cast<int32_t>(key.Indent);
  for (TRunRec& run : outcome) {
    // Nothing begins in the indentation; should anything, the outcome is not kept.
    if (run.Offset < indent) return;
    run.Offset -= indent;
  }
  TRepeatedLines::Outcome made{outcome.data(),
                               static_cast<uint32_t>(outcome.size()),
                               runs.ClearsLaidOut(),
                               spanEnd,
                               runs.LookBack().Level,
                               runs.LookBack().Style,
                               lowest,
                               runs.StartStyleId()};
  NoteFollowers(list.Styles, runs, made);
  repeats.Remember(key, made);
}

}  // namespace

void ParseSpans(TScanHost& host, int par) {
  TScanPar ps(host, par);
  ParseSpansIn(ps);
  ps.Store();
}

void ParseUpTo(TScanHost& host, int n) {
  TParagraphsList& list = host.Paragraphs();
  n = std::min(n, list.Count - 1);
  for (int p = std::max(list.ScannedUpTo + 1, 0); p <= n; ++p)
    if (!(list.Flags(p) & pfSpansParsed)) ParseSpans(host, p);
  list.ScannedUpTo = std::max(list.ScannedUpTo, n);
}

void ApplyKeywords(TScanHost& host, int32_t from, int32_t to) {
  TParagraphsList& list = host.Paragraphs();
  if (host.Highlighter() != nullptr) {
    const int first = list.ParagraphOfPosition(from);
    const int last = list.ParagraphOfPosition(to);
    for (int par = first; par <= last; ++par) {
      TScanPar ps(host, par);
      ChainKeywords(ps, from, to, first, last);
      ps.Store();
    }
  }
  if (host.OwnKeywordsOn() && host.OwnKeywords().Count() > 0) ApplyOwnKeywords(host, from, to);
}

void ApplyKeywordsTo(TScanHost& host, int a, int b, const TSpeedLayers& layers) {
  // Spans up to b, then keywords of a … b where they are missing, with each
  // paragraph's spans and keywords done in one visit: a paragraph's keywords
  // depend on nothing after it, and what a later paragraph's spans read of it
  // (the style outside a closing span) does not change.
  TParagraphsList& list = host.Paragraphs();
  b = std::min(b, list.Count - 1);
  a = std::max(a, 0);
  const int firstUnparsed = std::max(list.ScannedUpTo + 1, 0);
  const bool chain = host.Highlighter() != nullptr;
  const bool own = host.OwnKeywordsOn() && host.OwnKeywords().Count() > 0;
  const int first = std::min(a, firstUnparsed);
  // The catch-up's speed layers pay off only over a long stretch, and serve
  // only passes that read nothing but a paragraph's text and its start style.
  std::optional<TRepeatedLines> repeats;
  std::optional<TStartKeyFilter> startFilter;
  std::optional<TChainKeywordPlan> chainPlan;
  std::optional<TLevelsMet> levels;
  if (chain && b - first >= kRepeatedLinesMinParagraphs && TRepeatedLines::Applies(host)) {
    if (layers.RepeatedLines) {
      try {
        repeats.emplace(TRepeatedLines::TReading::For(host), static_cast<size_t>(b - first + 1));
      } catch (const std::bad_alloc&) {
        repeats.reset();  // no memory for the table: the plain passes do it all
      }
    }
    if (layers.StartKeyFilter && !startFilter.emplace().Build(host)) startFilter.reset();
    if (layers.ChainPlan) chainPlan.emplace();
    if (layers.RepeatedLines || layers.LevelIndex) levels.emplace(first);
  }
  const TStartKeyFilter* filter = startFilter ? &*startFilter : nullptr;
  std::optional<TKeysAhead> keys;
  if (repeats) keys.emplace(*repeats);
  TTableUse use;
  for (int p = first; p <= b; ++p) {
    const bool parse = p >= firstUnparsed && !(list.Flags(p) & pfSpansParsed);
    const bool keywords = p >= a && !(list.Flags(p) & pfKeywordsApplied);
    if (!parse && !keywords) continue;
    // Both passes at once, or their outcome for an equal paragraph met before.
    if (parse && keywords && repeats && use.On(p) && !HasStaticMarks(list, p)) {
      const TRepeatedLines::Key key = keys->KeyOf(list, p);
      levels->NoteUpTo(list, p);
      const bool found = TakeRepeat(list, p, *repeats, key, *keys, *levels);
      use.Count(p, found);
      if (found) continue;
      TScanPar ps(host, p);
      ps.SetLayers(layers);
      if (chainPlan) ps.SetChainPlan(&*chainPlan);
      if (layers.LevelIndex) ps.Runs().SetLevels(&*levels);
      SpansAndKeywords(ps, *repeats, filter, key, *keys, *levels);
      ps.Store();
      list.SetFlags(p, list.Flags(p) | pfKeywordsApplied);
      continue;
    }
    TScanPar ps(host, p);
    ps.SetLayers(layers);
    if (chainPlan) ps.SetChainPlan(&*chainPlan);
    if (levels && layers.LevelIndex) {
      levels->NoteUpTo(list, p);
      ps.Runs().SetLevels(&*levels);
    }
    if (parse) ParseSpansIn(ps, filter);
    if (!keywords) {
      ps.Store();
      continue;
    }
    const int32_t start = list.StartOffset(p);
    const int32_t end = start + list.Length(p);
    if (chain) ChainKeywords(ps, start, end, p, p);  // the end of a paragraph lies in it
    ps.Store();
    if (own) ApplyOwnKeywords(host, start, end, layers);
    list.SetFlags(p, list.Flags(p) | pfKeywordsApplied);
  }
  list.ScannedUpTo = std::max(list.ScannedUpTo, b);
}

void ResetHighlighting(TScanHost& host) {
  TParagraphsList& list = host.Paragraphs();
  for (int p = 0; p < list.Count; ++p) {
    list.SetFlags(p, list.Flags(p) & ~pfHighlightBits);
    if (list.RunCount(p) > 0) list.EraseRuns(p, 0, list.RunCount(p));
    list.SetStartStyleId(p, 0);
  }
  list.ScannedUpTo = -1;
  list.InvalidateLayout();
}

void HighlightAll(TScanHost& host, const TSpeedLayers& layers) {
  ApplyKeywordsTo(host, 0, host.Paragraphs().Count - 1, layers);
}

}  // namespace qm::scan
