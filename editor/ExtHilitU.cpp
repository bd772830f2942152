// Hooks of the extended highlighter: its spans, keywords and the hand-on along the chain.
#include "editor/ExtHilitU.h"

#include <algorithm>

#include "editor/KeyOptions.h"
#include "editor/Navigator.h"
#include "editor/PlusMemoU.h"

namespace qm {

TCustomExtHighlighterU::TCustomExtHighlighterU() { SetSeparators(u"\t ,.;"); }

TCustomExtHighlighterU::~TCustomExtHighlighterU() { SetSubHighlighter(nullptr); }

void TCustomExtHighlighterU::SetSubHighlighter(TPlusHighlighterU* sub) {
  if (sub == sub_) return;
  if (sub_ != nullptr) sub_->RemoveReferrer(this);
  sub_ = sub;
  if (sub_ != nullptr) sub_->AddReferrer(this);
}

void TCustomExtHighlighterU::SubHighlighterDestroyed(TPlusHighlighterU* sub) {
  if (sub == sub_) sub_ = nullptr;
}

void TCustomExtHighlighterU::SetSeparators(std::u16string_view separators) {
  TCharSet set;
  for (char16_t c = 0; c <= 26; ++c) set.Add(c);
  set.Add(separators);
  if (set == separators_) return;
  separators_ = set;
  StartStopKeys.InvalidateSeparators();
}

std::u16string TCustomExtHighlighterU::Separators() const {
  std::u16string out;
  for (char16_t c = 27; c <= 255; ++c)
    if (separators_.Contains(c)) out.push_back(c);
  return out;
}

namespace {

// Navigators for the events, placed at two absolute positions.
struct EventNavigators {
  TPlusNavigatorU start;
  TPlusNavigatorU stop;
  explicit EventNavigators(TPlusMemoU& memo) : start(&memo), stop(&memo) {}
};

}  // namespace

bool TCustomExtHighlighterU::StopKeyHook(TPlusMemoU& memo, int par, int32_t s, bool sPastRuns, int32_t& t,
                                         int keyBase) {
  const TDynInfo style = scan::StyleAt(memo.Paragraphs(), par, s, sPastRuns);
  const int level = style.KeyLevel();
  if (level < 0) return false;
  const int16_t top = style.KeyStack[level];
  const int local = (top & 32767) - keyBase;
  if (local < 0) return false;
  if (!Active || top >= 0 || local >= StartStopKeys.Count())
    return sub_ != nullptr && sub_->StopKeyHook(memo, par, s, sPastRuns, t, keyBase + StartStopKeys.Count());
  if (!StartStopKeys.SeparatorsComputed()) StartStopKeys.ComputeSeparators(separators_);
  scan::TStopSearch search;
  search.List = &StartStopKeys;
  search.Entry = local;
  search.Separators = &separators_;
  search.Extended = true;
  search.Base = keyBase;
  if (OnStop) {
    search.OnStop = [this, &memo](int32_t startKey, int32_t stopKey, int index) {
      EventNavigators navs(memo);
      navs.start.SetPos(startKey);
      navs.stop.SetPos(stopKey);
      bool accept = true;
      OnStop(this, &navs.start, &navs.stop, index, accept);
      return accept;
    };
  }
  return scan::SearchStop(memo, par, s, sPastRuns, t, search);
}

bool TCustomExtHighlighterU::StartKeyHook(TPlusMemoU& memo, int par, int32_t s, bool sPastRuns, int32_t& t,
                                          int keyBase) {
  if (Active && StartStopKeys.Count() > 0) {
    if (!StartStopKeys.SeparatorsComputed()) StartStopKeys.ComputeSeparators(separators_);
    scan::TStartSearch search;
    search.List = &StartStopKeys;
    search.Separators = &separators_;
    search.Extended = true;
    search.Base = keyBase;
    const TStartStopKeyList* own = &StartStopKeys;
    search.Allowed = [own, keyBase](const TDynInfo& style, const StartStopEntry& entry) {
      const int32_t context = style.Context();
      const int enclosing = scan::EnclosingLevel(style, keyBase, own);
      return entry.ScopeLevel == 32767 || (entry.ScopeContext == 0 && enclosing < entry.ScopeLevel) ||
             (context == entry.ScopeContext && (entry.ScopeContext != 0 || !(style.Kind & dkHighlight)));
    };
    if (OnStart) {
      search.OnStart = [this, &memo](int32_t startKey, int index) {
        TPlusNavigatorU nav(&memo);
        nav.SetPos(startKey);
        bool accept = true;
        OnStart(this, &nav, nullptr, index, accept);
        return accept;
      };
    }
    if (scan::SearchStart(memo, par, s, sPastRuns, t, search)) return true;
  }
  return sub_ != nullptr && sub_->StartKeyHook(memo, par, s, sPastRuns, t, keyBase + StartStopKeys.Count());
}

void TCustomExtHighlighterU::KeywordHook(TPlusMemoU& memo, int32_t from, int32_t to, int keywordBase) {
  if (Active && Keywords.Count() > 0) {
    TParagraphsList& list = memo.Paragraphs();
    const int first = list.ParagraphOfPosition(from);
    const int last = list.ParagraphOfPosition(to);
    if (UseKeywordIndex) index_.Prepare(Keywords, separators_);
    for (int par = first; par <= last; ++par) {
      scan::TParagraphText& text = memo.ScanText(par);
      const TKeywordStretch stretch = KeywordStretch(list, par, first, last, from, to, Keywords.MaxKeyLength());
      const std::vector<TKeywordMatch> matches = UseKeywordIndex
                                                     ? index_.Find(Keywords, separators_, text, stretch)
                                                     : FindKeywordsLiteral(Keywords, separators_, text, stretch);
      ApplyKeywordMatches(memo, par, matches, keywordBase);
    }
  }
  if (sub_ != nullptr) sub_->KeywordHook(memo, from, to, keywordBase + Keywords.Count());
}

void TCustomExtHighlighterU::ApplyKeywordMatches(TPlusMemoU& memo, int par, const std::vector<TKeywordMatch>& matches,
                                                 int keywordBase) {
  TParagraphsList& list = memo.Paragraphs();
  for (const TKeywordMatch& m : matches) {
    const KeywordEntry& entry = Keywords.Entry(m.Entry);
    const int32_t x = m.Offset;
    const int32_t y = x + m.Length;
    const TDynInfo style = scan::StyleAt(list, par, x, true);
    const int level = style.KeyLevel();
    if (level >= kMaxKeyLevel) continue;
    const int32_t context = style.Context();
    // Spans are counted from the keyword base here, not from the key base.
    const int enclosing = scan::EnclosingLevel(style, keywordBase, &StartStopKeys);
    const bool inScope = entry.ScopeLevel == 32767 || (entry.ScopeContext == 0 && enclosing < entry.ScopeLevel) ||
                         entry.ScopeContext == context;
    if (!inScope) continue;
    // Refuse a match that would cut into a span or only partly cover another keyword.
    bool accept = true;
    bool open = false;
    const int lo = scan::FirstRun(list, par, x, true);
    const int hi = scan::FirstRun(list, par, y, false);
    for (int k = lo; k < hi && accept; ++k) {
      const TDynInfo run = list.Run(par, k);
      if ((run.Kind & dkKeyStyle) != dkKeyStyle) {
        accept = open;
        open = false;
      } else if (run.Level < level || run.KeyStack[std::clamp<int>(run.Level, 0, kMaxKeyLevel)] < 0) {
        accept = false;
      } else {
        open = true;
      }
    }
    if (open) accept = false;
    if (OnKeyword) {
      TPlusNavigatorU startKey(&memo);
      TPlusNavigatorU stopKey(&memo);
      const int32_t start = list.StartOffset(par);
      startKey.SetPos(start + x);
      stopKey.SetPos(start + y);
      OnKeyword(this, &startKey, &stopKey, m.Entry, accept);
    }
    if (!accept) continue;
    const TDynInfo run = scan::KeywordRun(style, entry.Style, entry.Background, entry.Foreground, entry.ContextNum,
                                          entry.Cursor, m.Entry, m.Length);
    scan::ApplyRun(memo, par, x, y, run, true);
  }
}

}  // namespace qm
