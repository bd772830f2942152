// The base highlighter finds nothing; destroying it detaches it from its editors.
#include "editor/highlight/Highlighter.h"

#include <algorithm>

namespace qm {

TPlusHighlighterU::~TPlusHighlighterU() {
  const std::vector<THighlighterClient*> editors = editors_;
  for (THighlighterClient* editor : editors) editor->HighlighterDestroyed(this);
  const std::vector<TPlusHighlighterU*> referrers = referrers_;
  for (TPlusHighlighterU* h : referrers) h->SubHighlighterDestroyed(this);
}

void TPlusHighlighterU::DetachEditor(THighlighterClient* editor) {
  editors_.erase(std::remove(editors_.begin(), editors_.end(), editor), editors_.end());
}

void TPlusHighlighterU::RemoveReferrer(TPlusHighlighterU* referrer) {
  referrers_.erase(std::remove(referrers_.begin(), referrers_.end(), referrer), referrers_.end());
}

void TPlusHighlighterU::KeywordHook(scan::TScanPar&, int32_t, int32_t, int, int, int) {}

bool TPlusHighlighterU::StartKeyHook(scan::TScanPar&, int32_t, bool, int32_t&, int) { return false; }

bool TPlusHighlighterU::StopKeyHook(scan::TScanPar&, int32_t, bool, int32_t&, int) { return false; }

}  // namespace qm
