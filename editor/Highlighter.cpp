// The base highlighter finds nothing; destroying it detaches it from its editors.
#include "editor/Highlighter.h"

#include <algorithm>

#include "editor/PlusMemoU.h"

namespace qm {

TPlusHighlighterU::~TPlusHighlighterU() {
  const std::vector<TPlusMemoU*> editors = editors_;
  for (TPlusMemoU* memo : editors) memo->SetHighlighter(nullptr);
  const std::vector<TPlusHighlighterU*> referrers = referrers_;
  for (TPlusHighlighterU* h : referrers) h->SubHighlighterDestroyed(this);
}

void TPlusHighlighterU::RemoveReferrer(TPlusHighlighterU* referrer) {
  referrers_.erase(std::remove(referrers_.begin(), referrers_.end(), referrer), referrers_.end());
}

void TPlusHighlighterU::KeywordHook(scan::TScanPar&, int32_t, int32_t, int, int, int) {}

bool TPlusHighlighterU::StartKeyHook(scan::TScanPar&, int32_t, bool, int32_t&, int) { return false; }

bool TPlusHighlighterU::StopKeyHook(scan::TScanPar&, int32_t, bool, int32_t&, int) { return false; }

}  // namespace qm
