// The extended highlighter: its own keyword and start-stop lists, separators, a sub-highlighter and events.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "editor/highlight/ChainKeywordIndex.h"
#include "editor/highlight/Highlighter.h"
#include "editor/highlight/KeywordList.h"
#include "editor/highlight/KeywordPass.h"
#include "editor/highlight/StartStopList.h"
#include "editor/store/Types.h"

namespace qm {

class TPlusNavigatorU;

// Sender, StartKey, StopKey (nullptr for a start key), KIndex, Accept.
using TKeywordUEvent = std::function<void(TComponent* sender, TPlusNavigatorU* startKey, TPlusNavigatorU* stopKey,
                                          int kIndex, bool& accept)>;

class TCustomExtHighlighterU : public TPlusHighlighterU {
 public:
  TCustomExtHighlighterU();
  ~TCustomExtHighlighterU() override;

  void KeywordHook(scan::TScanPar& ps, int32_t from, int32_t to, int fromPar, int toPar, int keywordBase) override;
  bool StartKeyHook(scan::TScanPar& ps, int32_t from, bool fromPastRuns, int32_t& end, int keyBase) override;
  bool StopKeyHook(scan::TScanPar& ps, int32_t from, bool fromPastRuns, int32_t& end, int keyBase) override;
  int OwnStartStopCount() const override { return StartStopKeys.Count(); }
  int OwnKeywordCount() const override { return Keywords.Count(); }
  int StartStopScopeLevel(int local) const override { return StartStopKeys.Entry(local).ScopeLevel; }
  TCustomExtHighlighterU* AsExtHighlighter() override { return this; }
  TPlusHighlighterU* NextInChain() const override { return sub_; }
  bool PassesReadTextOnly() const override { return PlainClass() && !OnKeyword && !OnStart && !OnStop; }

  // Units 0..26 are always separators; units above 255 count as 255.
  void SetSeparators(std::u16string_view separators);
  std::u16string Separators() const;
  const TCharSet& SeparatorSet() const { return separators_; }

  TPlusHighlighterU* SubHighlighter() const { return sub_; }
  // The sub-highlighter is forgotten when it is destroyed.
  void SetSubHighlighter(TPlusHighlighterU* sub);

  TExtKeywordList Keywords;
  TExtStartStopList StartStopKeys;
  bool Active = true;
  // Use the hash index for the keyword pass (the literal search stays for checking it).
  bool UseKeywordIndex = true;
  TKeywordUEvent OnKeyword;
  TKeywordUEvent OnStart;
  TKeywordUEvent OnStop;

 protected:
  void SubHighlighterDestroyed(TPlusHighlighterU* sub) override;
  // Whether this object is of one of the plain classes, which run no pass of
  // their own; told once, when the object is complete.
  bool PlainClass() const;
  void ApplyKeywordMatches(scan::TScanPar& ps, const std::vector<TKeywordMatch>& matches, int keywordBase);

 private:
  // The keyword pass of this highlighter and the plain extended ones after
  // it that split words alike, through one lookup of every word; false
  // (nothing done) when it would not find exactly what each pass finds alone.
  bool ChainKeywordHook(scan::TScanPar& ps, int32_t from, int32_t to, int fromPar, int toPar, int keywordBase);
  // Whether this highlighter's pass may share the lookup of `head`.
  bool SharesLookupWith(const TCustomExtHighlighterU& head) const;
  TCharSet separators_;
  TPlusHighlighterU* sub_ = nullptr;
  TKeywordIndex index_;
  std::vector<TKeywordMatch> matches_;  // reused from paragraph to paragraph
  TChainKeywordIndex chainIndex_;       // used when this highlighter heads a shared lookup
  std::array<std::vector<TKeywordMatch>, TChainKeywordIndex::kMaxMembers> chainMatches_;
  mutable int8_t plainClass_ = -1;  // -1: not told yet
};

// The published extended highlighter.
class TExtHighlighterU : public TCustomExtHighlighterU {};

}  // namespace qm
