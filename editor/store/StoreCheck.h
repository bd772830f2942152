// The store's invariant check (the editor's Ctrl+E verification).
#pragma once

#include <string>

#include "editor/store/Paragraphs.h"

namespace qm {

// Verifies line and offset bookkeeping paragraph by paragraph and raises
// Exception on the first violation: "Error 1" … "Error 6 in ", followed by
// `ident` and the paragraph concerned.
void VerifyStore(const TParagraphsList& list, const std::string& ident);

}  // namespace qm
