// Every match of a pattern in a stretch of text, and the replacement text made of them, for "replace all".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "editor/store/Types.h"

namespace qm {

// How a pattern matches: letter case folded as the editor folds it unless
// MatchCase; with WholeWord a match stands between separators, line breaks
// or the ends of the text searched.
struct TMatchRules {
  bool WholeWord = false;
  bool MatchCase = false;
  TpmUpperCase Folding = pmuAnsi;
  const TCharSet* Separators = nullptr;  // nullptr: line breaks alone
};

// The starts of the matches of pattern in text, left to right, none
// overlapping the one before it. An empty pattern has none.
std::vector<int32_t> FindMatches(std::u16string_view text, std::u16string_view pattern, const TMatchRules& rules);

// The stretch of text from the first match to the end of the last, each
// match replaced ("" when there are no matches).
std::u16string ReplaceMatches(std::u16string_view text, const std::vector<int32_t>& matches, size_t patternLength,
                              std::u16string_view replacement);

// Where a position of the text lies after the matches are replaced: behind
// a match it moves by the lengths' difference; inside one, to its start.
int32_t PositionAfterReplace(int32_t pos, const std::vector<int32_t>& matches, size_t patternLength,
                             size_t replacementLength);

// "\n" as a line break (CR LF), "\t" as a tab, "\\" as one backslash; any
// other backslash stays as it is.
std::u16string ExpandSpecials(std::u16string_view text);

}  // namespace qm
