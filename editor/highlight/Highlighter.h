// TPlusHighlighterU: the base of highlighter components, with the three hooks the editor's scan calls along a chain.
#pragma once

#include <cstdint>
#include <vector>

#include "editor/store/Component.h"

namespace qm {

class TCustomExtHighlighterU;
namespace scan {
class TScanPar;
}

class TPlusHighlighterU;

// An editor that a highlighter is attached to, told when the highlighter goes.
class THighlighterClient {
 public:
  virtual void HighlighterDestroyed(TPlusHighlighterU* highlighter) = 0;

 protected:
  ~THighlighterClient() = default;
};

class TPlusHighlighterU : public TComponent {
 public:
  TPlusHighlighterU() = default;
  ~TPlusHighlighterU() override;

  // The keyword pass of a pass over from … to (the paragraphs fromPar …
  // toPar), on the one paragraph of ps.
  virtual void KeywordHook(scan::TScanPar& ps, int32_t from, int32_t to, int fromPar, int toPar, int keywordBase);
  // Looks for a start key in the paragraph of ps around S…T; on success the
  // opening run is in place and T is after the key.
  virtual bool StartKeyHook(scan::TScanPar& ps, int32_t from, bool fromPastRuns, int32_t& end, int keyBase);
  // Looks for the stop key of the span open at S; on success the closing run
  // is in place and T is after the stop key.
  virtual bool StopKeyHook(scan::TScanPar& ps, int32_t from, bool fromPastRuns, int32_t& end, int keyBase);

  // Start-stop keys and keywords of this highlighter and the ones after it in
  // the chain, for numbering.
  virtual int OwnStartStopCount() const { return 0; }
  virtual int OwnKeywordCount() const { return 0; }
  // The scope level of own start-stop key `local` (0 … OwnStartStopCount()-1).
  virtual int StartStopScopeLevel(int /*local*/) const { return 0; }

  // The extended highlighter this is, or nullptr: asked for every paragraph
  // along the chain, so cheaper than a cast.
  virtual TCustomExtHighlighterU* AsExtHighlighter() { return nullptr; }
  // The highlighter after this one in the chain, or nullptr.
  virtual TPlusHighlighterU* NextInChain() const { return nullptr; }
  // Whether this highlighter's hooks read nothing of a paragraph but its text
  // and its runs (no event handlers, no overridden passes), so that equal
  // paragraphs under equal start styles come out alike. Unknown classes: no.
  virtual bool PassesReadTextOnly() const { return false; }

  // The editors this highlighter heads the chain of.
  const std::vector<THighlighterClient*>& Editors() const { return editors_; }
  void AttachEditor(THighlighterClient* editor) { editors_.push_back(editor); }
  void DetachEditor(THighlighterClient* editor);

 protected:
  // Highlighters that name this one as their sub-highlighter; they forget it
  // when it is destroyed.
  void AddReferrer(TPlusHighlighterU* referrer) { referrers_.push_back(referrer); }
  void RemoveReferrer(TPlusHighlighterU* referrer);
  virtual void SubHighlighterDestroyed(TPlusHighlighterU*) {}

 private:
  friend class TCustomExtHighlighterU;
  std::vector<THighlighterClient*> editors_;
  std::vector<TPlusHighlighterU*> referrers_;
};

// Whether ok(h) holds for every highlighter of the chain from first on. A
// chain that comes back to a highlighter never ends: one longer than any real
// configuration fails.
template <typename Fn>
bool EveryInChain(TPlusHighlighterU* first, Fn&& ok) {
  constexpr int kMaxMembers = 64;
  int members = 0;
  for (TPlusHighlighterU* h = first; h != nullptr; h = h->NextInChain())
    if (++members > kMaxMembers || !ok(*h)) return false;
  return true;
}

}  // namespace qm
