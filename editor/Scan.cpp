// The start-stop pass, the run helpers shared with the keyword and number passes, and the lazy parse.
#include "editor/Scan.h"

#include <algorithm>

#include "editor/CaseFolding.h"
#include "editor/Highlighter.h"
#include "editor/KeyOptions.h"
#include "editor/KeywordList.h"
#include "editor/PlusMemoU.h"

namespace qm::scan {

uint64_t HashUnits(const char16_t* units, size_t length) {
  uint64_t h = 1469598103934665603ULL;
  for (size_t i = 0; i < length; ++i) h = (h ^ units[i]) * 1099511628211ULL;
  return h ^ (h >> 29);
}

void TParagraphText::Reset(std::u16string_view text) {
  text_ = text;
  foldedType_ = -1;
  wordsType_ = -1;
}

std::u16string_view TParagraphText::Folded(TpmUpperCase type) {
  if (foldedType_ != static_cast<int>(type)) {
    folded_.assign(text_);
    FoldCase(folded_, type);
    foldedType_ = static_cast<int>(type);
  }
  return folded_;
}

const std::vector<TParagraphText::Word>& TParagraphText::Words(const TCharSet& separators, TpmUpperCase type) {
  if (wordsType_ == static_cast<int>(type) && wordSeparators_ == separators) return words_;
  const std::u16string_view folded = Folded(type);
  words_.clear();
  const auto n = static_cast<int32_t>(text_.size());
  int32_t i = 0;
  while (i < n) {
    if (separators.Contains(text_[static_cast<size_t>(i)])) {
      ++i;
      continue;
    }
    int32_t j = i + 1;
    while (j < n && !separators.Contains(text_[static_cast<size_t>(j)])) ++j;
    const auto len = static_cast<size_t>(j - i);
    words_.push_back(Word{i, j - i, HashUnits(text_.data() + i, len), HashUnits(folded.data() + i, len)});
    i = j;
  }
  wordSeparators_ = separators;
  wordsType_ = static_cast<int>(type);
  return words_;
}

uint8_t KeyLengthField(int length) { return static_cast<uint8_t>(std::clamp(length, 0, 255)); }

TDynInfo KeywordRun(const TDynInfo& style, uint8_t entryStyle, TColor background, TColor foreground,
                    int32_t contextNum, int16_t cursor, int index, int length) {
  const int level = style.KeyLevel();
  TDynInfo run = style;
  run.Kind = static_cast<uint8_t>(entryStyle + dkKeyStyle);
  run.Level = static_cast<int8_t>(level + 1);
  // Indices beyond the 16-bit stack entry stay non-negative, never read as a span.
  run.KeyStack[level + 1] = static_cast<int16_t>(std::clamp(index, 0, 32767));
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

TDynInfo OuterStyle(const TParagraphsList& list, int par, int32_t x, bool pastRuns, int level) {
  int k = FirstRun(list, par, x, pastRuns);
  for (int p = par; p >= 0; --p) {
    if (p != par) k = list.RunCount(p);
    for (int i = k - 1; i >= 0; --i) {
      const TDynInfo run = list.Run(p, i);
      if (run.KeyLevel() < level) return run;
    }
    const TDynInfo start = list.StartStyle(p);
    if (start.KeyLevel() < level) return start;
  }
  return TDynInfo{};
}

bool ScanEqual(const TDynInfo& a, const TDynInfo& b) {
  if ((a.Kind & dkKeyStyle) != (b.Kind & dkKeyStyle)) return false;
  if (!(a.Kind & dkHighlight)) return true;
  if (a.Level != b.Level || a.ContextNum != b.ContextNum) return false;
  for (int i = 0; i <= std::min<int>(a.Level, kMaxKeyLevel); ++i)
    if (a.KeyStack[i] != b.KeyStack[i]) return false;
  return true;
}

int EnclosingLevel(const TDynInfo& style, int base, const TStartStopKeyList* own) {
  if (!(style.Kind & dkHighlight) || style.Level < 0) return 0;
  const int16_t top = style.KeyStack[std::min<int>(style.Level, kMaxKeyLevel)];
  if (top >= 0) return 32767;
  const int i = (top & 32767) - base;
  if (own != nullptr && i >= 0 && i < own->Count()) return own->Entry(i).ScopeLevel;
  return 0;
}

void ApplyRun(TPlusMemoU& memo, int par, int32_t x, int32_t y, TDynInfo run, bool forceOn) {
  TParagraphsList& list = memo.Paragraphs();
  if (y < x) std::swap(x, y);
  int k = FirstRun(list, par, x, true);
  TDynInfo remembered = k > 0 ? list.Run(par, k - 1) : list.StartStyle(par);
  int32_t rememberedAt = k > 0 ? remembered.Offset : 0;
  run.Kind = forceOn ? static_cast<uint8_t>(run.Kind | dkHighlight) : 0;
  if (forceOn || (remembered.Kind & dkHighlight)) {
    run.Offset = x;
    list.InsertRun(par, k, run);
    ++k;
  }
  int j = k;
  while (j < list.RunCount(par) && list.RunOffset(par, j) < y) {
    remembered = list.Run(par, j);
    rememberedAt = remembered.Offset;
    ++j;
  }
  list.EraseRuns(par, k, j - k);
  list.SetFlags(par, list.Flags(par) & ~pfLaidOut);
  remembered.OpenKeyLength = KeyLengthField(remembered.OpenKeyLength - (y - rememberedAt));
  const bool textEnd = par == list.Count - 1 && y >= list.Length(par);
  if (!textEnd && (forceOn || (remembered.Kind & dkHighlight))) {
    remembered.Offset = y;
    list.InsertRun(par, k, remembered);
  }
}

namespace {

bool IsSep(const TCharSet& separators, std::u16string_view text, int32_t i) {
  return separators.Contains(text[static_cast<size_t>(i)]);
}

// A run carrying attributes without an open key: static marks the span pass keeps.
bool IsStaticMark(const TDynInfo& r) { return (r.Kind & dkHighlight) && r.KeyLevel() < 0; }

}  // namespace

bool SearchStop(TPlusMemoU& memo, int par, int32_t s, bool sPastRuns, int32_t& t, const TStopSearch& search) {
  TParagraphsList& list = memo.Paragraphs();
  const StartStopEntry& entry = search.List->Entry(search.Entry);
  TParagraphText& text = memo.ScanText(par);
  const std::u16string_view plain = text.Plain();
  const int32_t len = static_cast<int32_t>(plain.size());
  const int32_t stopLen = entry.StopLength;
  const int before = entry.NeedSepBeforeStop ? 1 : 0;
  const int after = entry.NeedSepAfterStop ? 1 : 0;

  int32_t ws = s - stopLen - before;
  bool dropBefore = false;
  if (ws <= 0) {
    ws = 0;
    dropBefore = true;
  }
  const int styleRun = FirstRun(list, par, s, sPastRuns) - 1;
  const TDynInfo style = styleRun >= 0 ? list.Run(par, styleRun) : list.StartStyle(par);
  if (styleRun >= 0) ws = std::max(ws, style.Offset + style.OpenKeyLength);
  int32_t we = t + stopLen + after;
  bool dropAfter = false;
  if (we >= len) {
    we = len;
    dropAfter = true;
  }

  int32_t hit = -1;
  int32_t hitLen = stopLen;
  if (search.Extended && entry.ScopeContext == 32767) {
    // Such a span ends at the first separator after its start.
    for (int32_t i = ws; i < we; ++i)
      if (IsSep(*search.Separators, plain, i)) {
        hit = i;
        hitLen = 0;
        break;
      }
  } else if (stopLen > 0) {
    const bool matchCase = entry.Options & kwoMatchCase;
    const std::u16string_view hay = matchCase ? plain : text.Folded(search.List->UpperCaseType());
    const std::u16string_view key = entry.StopMatch();
    for (int32_t i = ws; i + stopLen <= we; ++i) {
      if (hay.compare(static_cast<size_t>(i), static_cast<size_t>(stopLen), key) != 0) continue;
      if (before && !(dropBefore && i == ws) && i > 0 && !IsSep(*search.Separators, plain, i - 1)) continue;
      if (after && !(dropAfter && i + stopLen >= len) && i + stopLen < len &&
          !IsSep(*search.Separators, plain, i + stopLen))
        continue;
      if (search.OnStop && !search.OnStop(list.StartOffset(par) + s, list.StartOffset(par) + i + stopLen, search.Entry))
        continue;
      hit = i;
      break;
    }
  }
  if (hit < 0) {
    if (!(entry.StopAtParEnd && t >= len)) return false;
    hit = len;
    hitLen = 0;
  }

  // The stop key's own runs go; the span's opening run learns its closing length.
  const int first = FirstRun(list, par, hit, true);
  const int last = FirstRun(list, par, hit + hitLen, false);
  if (last > first) list.EraseRuns(par, first, last - first);
  t = hit + hitLen;
  const int level = style.KeyLevel();
  if (styleRun >= 0 && styleRun < list.RunCount(par) && list.RunOffset(par, styleRun) < s) {
    TDynInfo opening = list.Run(par, styleRun);
    opening.CloseKeyLength = KeyLengthField(stopLen + before);
    list.SetRun(par, styleRun, opening);
  }
  TDynInfo next;
  const int continuation = search.List->FindContinuation(search.Entry, search.Extended);
  if (continuation >= 0) {
    const StartStopEntry& c = search.List->Entry(continuation);
    next = style;
    next.KeyStack[level] = static_cast<int16_t>(search.Base + continuation - 32768);
    next.Kind = static_cast<uint8_t>(c.Style + dkKeyStyle);
    next.Cursor = c.Cursor;
    next.Background = c.Background;
    next.Foreground = c.Foreground;
    next.ContextNum = c.ContextNum;
    next.CloseKeyLength = KeyLengthField(c.StopLength);
  } else {
    next = OuterStyle(list, par, s, sPastRuns, level);
  }
  next.OpenKeyLength = 0;
  next.Offset = t;
  list.InsertRun(par, FirstRun(list, par, t, true), next);
  return true;
}

bool SearchStart(TPlusMemoU& memo, int par, int32_t s, bool /*sPastRuns*/, int32_t& t, const TStartSearch& search) {
  TParagraphsList& list = memo.Paragraphs();
  const TStartStopKeyList& keys = *search.List;
  if (keys.Count() == 0) return false;
  TParagraphText& text = memo.ScanText(par);
  const std::u16string_view plain = text.Plain();
  const int32_t len = static_cast<int32_t>(plain.size());
  const int32_t longest = keys.MaxStartLength() + 1;
  const int32_t ws = s - std::min(s, longest);
  const int32_t we = t + std::min(len - t, longest);
  // Only positions whose unit can begin some key are tried.
  const bool anyFolded = keys.AnyFoldedKey();
  const TCharSet& plainFirst = keys.PlainFirstUnits();
  const TCharSet& foldedFirst = keys.FoldedFirstUnits();
  const std::u16string_view folded = anyFolded ? text.Folded(keys.UpperCaseType()) : plain;

  // The style in effect follows the runs as i advances.
  const ParExtraInfo* extra = list.Extra(par);
  int k = FirstRun(list, par, ws, true);
  uint32_t styleId = k > 0 ? extra->Runs()[k - 1].Attr : list.StartStyleId(par);
  for (int32_t i = ws; i <= t && i < len; ++i) {
    if (extra != nullptr) {
      while (k < static_cast<int>(extra->RunCount) && extra->Runs()[k].Offset <= i) styleId = extra->Runs()[k++].Attr;
    }
    const size_t at = static_cast<size_t>(i);
    if (!plainFirst.Contains(plain[at]) && !(anyFolded && foldedFirst.Contains(folded[at]))) continue;
    const TDynInfo& style = list.Styles.Get(styleId);
    if (style.KeyLevel() >= kMaxKeyLevel) continue;
    for (int e = 0; e < keys.Count(); ++e) {
      const StartStopEntry& entry = keys.Entry(e);
      const int32_t keyLen = entry.StartLength;
      if (keyLen == 0 || i + keyLen > we) continue;
      // A key whose last unit (or the separator it needs after it) lies before S was dealt with already.
      if (i + keyLen + (entry.NeedSepAfterStart ? 1 : 0) <= s) continue;
      if (!search.Allowed(style, entry)) continue;
      if (!keys.StartMatchesAt(static_cast<size_t>(e), plain, folded, static_cast<size_t>(i), *search.Separators))
        continue;
      const int16_t stackEntry = static_cast<int16_t>(search.Base + e - 32768);
      // A closing quote does not open the same kind of span again.
      if (entry.StartText() == entry.StopText() && style.KeyStack[style.KeyLevel() + 1] == stackEntry) continue;
      if (search.OnStart && !search.OnStart(list.StartOffset(par) + i, e)) continue;

      // Open the span at i.
      const TDynInfo styleCopy = style;  // the style table may grow below
      const int n = styleCopy.KeyLevel() + 1;
      const int styleRun = FirstRun(list, par, i, true) - 1;
      if (n > 0 && styleRun >= 0) {
        TDynInfo prev = list.Run(par, styleRun);
        prev.CloseKeyLength = 0;
        list.SetRun(par, styleRun, prev);
      }
      const int inFirst = FirstRun(list, par, i, true);
      const int inLast = FirstRun(list, par, i + keyLen, false);
      if (inLast > inFirst) list.EraseRuns(par, inFirst, inLast - inFirst);
      TDynInfo run = styleCopy;
      run.Kind = static_cast<uint8_t>(entry.Style + dkKeyStyle);
      run.Level = static_cast<int8_t>(n);
      run.KeyStack[n] = stackEntry;
      run.Cursor = entry.Cursor;
      run.Background = entry.Background;
      run.Foreground = entry.Foreground;
      run.ContextNum = entry.ContextNum;
      run.OpenKeyLength = KeyLengthField(keyLen + (entry.NeedSepAfterStart ? 1 : 0));
      run.CloseKeyLength = KeyLengthField(entry.StopLength);
      run.Offset = i;
      const int at = FirstRun(list, par, i, false);
      if (at < list.RunCount(par) && list.RunOffset(par, at) == i) {
        // Overwrite the last run that starts at i.
        list.SetRun(par, FirstRun(list, par, i, true) - 1, run);
      } else {
        list.InsertRun(par, at, run);
      }
      t = i + keyLen;
      return true;
    }
  }
  return false;
}

bool FindStopKey(TPlusMemoU& memo, int par, int32_t s, bool sPastRuns, int32_t& t) {
  const TDynInfo style = StyleAt(memo.Paragraphs(), par, s, sPastRuns);
  const int level = style.KeyLevel();
  if (level < 0) return false;
  const int16_t top = style.KeyStack[level];
  const TStartStopKeyList& own = memo.StartStopKeys;
  if (top < 0 && top + 32768 < own.Count()) {
    TStopSearch search;
    search.List = &own;
    search.Entry = top + 32768;
    search.Separators = &memo.Separators;
    return SearchStop(memo, par, s, sPastRuns, t, search);
  }
  TPlusHighlighterU* h = memo.Highlighter();
  return h != nullptr && h->StopKeyHook(memo, par, s, sPastRuns, t, own.Count());
}

bool FindStartKey(TPlusMemoU& memo, int par, int32_t s, bool sPastRuns, int32_t& t) {
  if (StyleAt(memo.Paragraphs(), par, s, sPastRuns).KeyLevel() >= kMaxKeyLevel) return false;
  TStartStopKeyList& own = memo.StartStopKeys;
  if (memo.ApplyStartStopKeys && own.Count() > 0) {
    TStartSearch search;
    search.List = &own;
    search.Separators = &memo.Separators;
    // Inside a span only its stop key counts; keywords on top do not shield.
    search.Allowed = [](const TDynInfo& style, const StartStopEntry&) {
      const int level = style.KeyLevel();
      return level < 0 || style.KeyStack[level] >= 0;
    };
    if (SearchStart(memo, par, s, sPastRuns, t, search)) return true;
  }
  TPlusHighlighterU* h = memo.Highlighter();
  return h != nullptr && h->StartKeyHook(memo, par, s, sPastRuns, t, own.Count());
}

void ParseSpans(TPlusMemoU& memo, int par) {
  TParagraphsList& list = memo.Paragraphs();
  if (memo.StartStopKeys.Count() > 0 && !memo.StartStopKeys.SeparatorsComputed())
    memo.StartStopKeys.ComputeSeparators(memo.Separators);
  const int32_t len = list.Length(par);
  int32_t s = 0;
  bool pastRuns = false;  // the runs at the paragraph start are the pass's to replace
  for (;;) {
    // Static marks stay; the pass works between them.
    while (s < len && IsStaticMark(StyleAt(list, par, s, pastRuns))) {
      const int k = FirstRun(list, par, s, true);
      s = k < list.RunCount(par) ? std::min(list.RunOffset(par, k), len) : len;
      pastRuns = true;
    }
    int32_t t = len;
    int k = FirstRun(list, par, s, pastRuns);
    while (k < list.RunCount(par) && list.RunOffset(par, k) <= len) {
      const TDynInfo run = list.Run(par, k);
      if (IsStaticMark(run)) {
        t = run.Offset;
        break;
      }
      list.EraseRuns(par, k, 1);
    }
    const bool stopped = FindStopKey(memo, par, s, pastRuns, t);
    const bool started = FindStartKey(memo, par, s, pastRuns, t);
    if (t <= s && !started && !stopped) {
      if (s >= len) break;
      t = len;  // nothing more in this stretch
    }
    s = t;
    pastRuns = true;
    if (s >= len && !started) break;
  }
  list.SetFlags(par, list.Flags(par) | pfSpansParsed);

  // Hand a changed end style on to the next paragraph, which is parsed when needed.
  if (par + 1 < list.Count) {
    const TDynInfo end = StyleAt(list, par, len, true);
    if (!ScanEqual(end, list.StartStyle(par + 1))) {
      list.SetStartStyle(par + 1, end);
      list.SetFlags(par + 1, list.Flags(par + 1) & ~pfHighlightBits);
      list.FormatLast = std::max(list.FormatLast, par + 1);
    } else if (list.StartStyleId(par + 1) != list.Styles.Intern(end)) {
      // Equal for the scan but not in every attribute: keep the exact block.
      list.SetStartStyle(par + 1, end);
    }
  }
}

void ParseUpTo(TPlusMemoU& memo, int n) {
  TParagraphsList& list = memo.Paragraphs();
  n = std::min(n, list.Count - 1);
  for (int p = std::max(list.ScannedUpTo + 1, 0); p <= n; ++p)
    if (!(list.Flags(p) & pfSpansParsed)) ParseSpans(memo, p);
  list.ScannedUpTo = std::max(list.ScannedUpTo, n);
}

void ApplyKeywords(TPlusMemoU& memo, int32_t from, int32_t to) {
  if (TPlusHighlighterU* h = memo.Highlighter()) h->KeywordHook(memo, from, to, memo.Keywords.Count());
  if (memo.ApplyKeyWords && memo.Keywords.Count() > 0) memo.ApplyOwnKeywords(from, to);
}

void ApplyKeywordsTo(TPlusMemoU& memo, int a, int b) {
  TParagraphsList& list = memo.Paragraphs();
  b = std::min(b, list.Count - 1);
  ParseUpTo(memo, b);
  for (int p = std::max(a, 0); p <= b; ++p) {
    if (list.Flags(p) & pfKeywordsApplied) continue;
    const int32_t start = list.StartOffset(p);
    ApplyKeywords(memo, start, start + list.Length(p));
    list.SetFlags(p, list.Flags(p) | pfKeywordsApplied);
  }
}

void ResetHighlighting(TPlusMemoU& memo) {
  TParagraphsList& list = memo.Paragraphs();
  for (int p = 0; p < list.Count; ++p) {
    list.SetFlags(p, list.Flags(p) & ~pfHighlightBits);
    if (list.RunCount(p) > 0) list.EraseRuns(p, 0, list.RunCount(p));
    list.SetStartStyleId(p, 0);
  }
  list.ScannedUpTo = -1;
  list.InvalidateLayout();
}

void HighlightAll(TPlusMemoU& memo) { ApplyKeywordsTo(memo, 0, memo.Paragraphs().Count - 1); }

}  // namespace qm::scan
