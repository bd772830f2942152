// Hooks of the extended highlighter: its spans, keywords and the hand-on along the chain.
#include "editor/highlight/ExtHilitU.h"

#include <algorithm>
#include <typeinfo>

#include "editor/highlight/KeyOptions.h"
#include "editor/highlight/Scan.h"
#include "editor/store/Navigator.h"

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
  explicit EventNavigators(TComponent& editor) : start(&editor), stop(&editor) {}
};

}  // namespace

bool TCustomExtHighlighterU::StopKeyHook(scan::TScanPar& ps, int32_t from, bool fromPastRuns, int32_t& end,
                                         int keyBase) {
  const TDynInfo& style = ps.List().Styles.Get(ps.Runs().StyleIdAt(from, fromPastRuns));
  const int level = style.KeyLevel();
  if (level < 0) return false;
  const int16_t top = style.KeyStack[level];
  const int local = StackIndex(top) - keyBase;
  if (local < 0) return false;
  if (!Active || top >= 0 || local >= StartStopKeys.Count())
    return sub_ != nullptr && sub_->StopKeyHook(ps, from, fromPastRuns, end, keyBase + StartStopKeys.Count());
  if (!StartStopKeys.SeparatorsComputed()) StartStopKeys.ComputeSeparators(separators_);
  scan::TStopSearch search;
  search.List = &StartStopKeys;
  search.Entry = local;
  search.Separators = &separators_;
  search.Extended = true;
  search.Base = keyBase;
  if (OnStop) {
    TComponent& editor = ps.Host().EventSender();
    search.OnStop = [this, &editor](int32_t startKey, int32_t stopKey, int index) {
      EventNavigators navs(editor);
      navs.start.SetPos(startKey);
      navs.stop.SetPos(stopKey);
      bool accept = true;
      OnStop(this, &navs.start, &navs.stop, index, accept);
      return accept;
    };
  }
  return scan::SearchStop(ps, from, fromPastRuns, end, search);
}

bool TCustomExtHighlighterU::StartKeyHook(scan::TScanPar& ps, int32_t from, bool fromPastRuns, int32_t& end,
                                          int keyBase) {
  if (Active && StartStopKeys.Count() > 0) {
    if (!StartStopKeys.SeparatorsComputed()) StartStopKeys.ComputeSeparators(separators_);
    scan::TStartSearch search;
    search.List = &StartStopKeys;
    search.Separators = &separators_;
    search.Extended = true;
    search.Base = keyBase;
    if (OnStart) {
      TComponent& editor = ps.Host().EventSender();
      search.OnStart = [this, &editor](int32_t startKey, int index) {
        TPlusNavigatorU nav(&editor);
        nav.SetPos(startKey);
        bool accept = true;
        OnStart(this, &nav, nullptr, index, accept);
        return accept;
      };
    }
    if (scan::SearchStart(ps, from, fromPastRuns, end, search)) return true;
  }
  return sub_ != nullptr && sub_->StartKeyHook(ps, from, fromPastRuns, end, keyBase + StartStopKeys.Count());
}

void TCustomExtHighlighterU::KeywordHook(scan::TScanPar& ps, int32_t from, int32_t to, int fromPar, int toPar,
                                         int keywordBase) {
  if (ps.Layers().SharedLookup && ps.Layers().KeywordIndex &&
      ChainKeywordHook(ps, from, to, fromPar, toPar, keywordBase))
    return;
  if (Active && Keywords.Count() > 0) {
    const TKeywordStretch stretch =
        KeywordStretch(ps.Start(), ps.Runs().Length(), ps.Par(), fromPar, toPar, from, to, Keywords.MaxKeyLength());
    if (UseKeywordIndex && ps.Layers().KeywordIndex) {
      index_.Prepare(Keywords, separators_);
      index_.Find(Keywords, separators_, ps.Text(), stretch, matches_);
    } else {
      matches_ = FindKeywordsLiteral(Keywords, separators_, ps.Text(), stretch);
    }
    if (!matches_.empty()) ApplyKeywordMatches(ps, matches_, keywordBase);
  }
  if (sub_ != nullptr) sub_->KeywordHook(ps, from, to, fromPar, toPar, keywordBase + Keywords.Count());
}

bool TCustomExtHighlighterU::PlainClass() const {
  if (plainClass_ < 0) {
    const std::type_info& type = typeid(*this);
    plainClass_ = type == typeid(TExtHighlighterU) || type == typeid(TCustomExtHighlighterU) ? 1 : 0;
  }
  return plainClass_ != 0;
}

bool TCustomExtHighlighterU::SharesLookupWith(const TCustomExtHighlighterU& head) const {
  // Only the plain classes: a derived highlighter may run a pass of its own.
  // A keyword handler may change any list while the passes run, so its
  // highlighter keeps the pass that looks up its words after the ones before.
  return !OnKeyword && UseKeywordIndex && PlainClass() && (this == &head || separators_ == head.separators_) &&
         Keywords.UpperCaseType() == head.Keywords.UpperCaseType();
}

bool TCustomExtHighlighterU::ChainKeywordHook(scan::TScanPar& ps, int32_t from, int32_t to, int fromPar, int toPar,
                                              int keywordBase) {
  // Only a pass over the whole paragraph: then every highlighter's stretch is
  // the paragraph, whatever its longest key.
  const int32_t length = ps.Runs().Length();
  const TKeywordStretch stretch = KeywordStretch(ps.Start(), length, ps.Par(), fromPar, toPar, from, to, 0);
  if (stretch.Start != 0 || stretch.End != length || stretch.Cut != length || stretch.SearchFrom > 0) return false;
  // Filled up to count before they are read.
  std::array<TCustomExtHighlighterU*, TChainKeywordIndex::kMaxMembers> run;
  int count = 0;
  scan::TChainKeywordPlan* plan = ps.ChainPlan();
  if (plan != nullptr && plan->Head == this) {
    run = plan->Run;
    count = plan->Count;
  } else {
    std::array<TChainKeywordIndex::Member, TChainKeywordIndex::kMaxMembers> members;
    // A chain that comes back to a highlighter recurses without end in every
    // hook; the cap on the members keeps this walk finite all the same.
    for (TPlusHighlighterU* h = this; h != nullptr && count < TChainKeywordIndex::kMaxMembers;) {
      TCustomExtHighlighterU* ext = h->AsExtHighlighter();
      if (ext == nullptr || !ext->SharesLookupWith(*this)) break;
      run[static_cast<size_t>(count)] = ext;
      members[static_cast<size_t>(count)] = {&ext->Keywords, ext->Active && ext->Keywords.Count() > 0};
      ++count;
      h = ext->sub_;
    }
    if (count >= 2) chainIndex_.Prepare(members.data(), count, separators_, Keywords.UpperCaseType());
    if (plan != nullptr && plan->Head == nullptr) *plan = scan::TChainKeywordPlan{this, run, count};
  }
  if (count < 2) return false;
  scan::TParagraphText& text = ps.Text();
  if (static_cast<int32_t>(text.Plain().size()) != length) return false;
  chainIndex_.Find(text, chainMatches_);
  int base = keywordBase;
  for (int m = 0; m < count; ++m) {
    TCustomExtHighlighterU& ext = *run[static_cast<size_t>(m)];
    const std::vector<TKeywordMatch>& matches = chainMatches_[static_cast<size_t>(m)];
    if (!matches.empty()) ext.ApplyKeywordMatches(ps, matches, base);
    base += ext.Keywords.Count();
  }
  if (TPlusHighlighterU* next = run[static_cast<size_t>(count - 1)]->sub_)
    next->KeywordHook(ps, from, to, fromPar, toPar, base);
  return true;
}

void TCustomExtHighlighterU::ApplyKeywordMatches(scan::TScanPar& ps, const std::vector<TKeywordMatch>& matches,
                                                 int keywordBase) {
  TParagraphsList& list = ps.List();
  scan::TRunBuffer& runs = ps.Runs();
  for (const TKeywordMatch& m : matches) {
    const KeywordEntry& entry = Keywords.Entry(m.Entry);
    const int32_t x = m.Offset;
    const int32_t y = x + m.Length;
    const int lo = runs.FirstRun(x, true);
    const uint32_t styleId = lo > 0 ? runs.Attr(lo - 1) : runs.StartStyleId();
    // Read before anything below can add to the style table.
    const TDynInfo& style = list.Styles.Get(styleId);
    const int level = style.KeyLevel();
    if (level >= kMaxKeyLevel) continue;
    const int32_t context = style.Context();
    // Spans are counted from the keyword base here, not from the key base.
    const int enclosing = scan::EnclosingLevel(style, keywordBase, &StartStopKeys, ps.Host());
    const bool inScope = entry.ScopeLevel == kScopeEverywhere ||
                         (entry.ScopeContext == 0 && enclosing < entry.ScopeLevel) || entry.ScopeContext == context;
    if (!inScope) continue;
    // Refuse a match that would cut into a span or only partly cover another keyword.
    bool accept = true;
    bool open = false;
    for (int k = lo; k < runs.Count() && runs.Offset(k) < y && accept; ++k) {
      const TDynInfo& run = runs.Style(k);
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
      ps.Store();  // the handler may look at the runs
      TComponent& editor = ps.Host().EventSender();
      TPlusNavigatorU startKey(&editor);
      TPlusNavigatorU stopKey(&editor);
      const int32_t start = list.StartOffset(ps.Par());
      startKey.SetPos(start + x);
      stopKey.SetPos(start + y);
      OnKeyword(this, &startKey, &stopKey, m.Entry, accept);
    }
    if (!accept) continue;
    const uint32_t run = scan::KeywordRunId(list.Styles, styleId, entry.Style, entry.Background, entry.Foreground,
                                            entry.ContextNum, entry.Cursor, m.Entry, m.Length);
    scan::ApplyRunId(runs, x, y, run);
  }
}

}  // namespace qm
