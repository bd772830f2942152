// The editing of the snippet commands: inline insertion, line insertion and the begin … end block, through the editor's public operations.
#pragma once

#include <string>

#include "app/SnippetActions.h"
#include "editor/control/PlusMemoU.h"

namespace qm {

// The indent of lines inserted next to the caret: the leading characters of
// code 32 or less of the caret's line; when that line is blank, those of the
// line above (all of it when it is blank too), and none on the first line.
std::u16string SnippetIndent(TPlusMemoU& memo);

// Types the snippet into the editor by its style. Each change goes through the
// editor's replace operation, so it can be undone; a selection is deleted first.
void RunSnippet(TPlusMemoU& memo, const TSnippetSpec& snippet);

}  // namespace qm
