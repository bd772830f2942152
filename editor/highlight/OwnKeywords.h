// The editor's own keyword pass, run after the chain's.
#pragma once

#include <cstdint>

#include "editor/highlight/ScanHost.h"
#include "editor/highlight/SpeedLayers.h"

namespace qm::scan {

// The pass of the editor's own keyword list over the paragraphs of from … to:
// its matches are masked out of highlighted text with a context and out of
// the later entries of the list.
void ApplyOwnKeywords(TScanHost& host, int32_t from, int32_t to, const TSpeedLayers& layers = ProcessSpeedLayers());

}  // namespace qm::scan
