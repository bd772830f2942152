// TPlusMemoU::FindText: paragraph-by-paragraph search for a string, down or up, from the caret or a text end.
#include <algorithm>
#include <string>
#include <string_view>

#include "editor/control/PlusMemoU.h"
#include "editor/control/TextReplace.h"
#include "editor/control/TextSearch.h"
#include "editor/store/CaseFolding.h"

namespace qm {

bool TPlusMemoU::FindText(std::u16string_view text, bool down, bool fromEnd, bool wholeWord, bool matchCase) {
  if (text.empty()) return false;
  const TParagraphsList& list = *paragraphs_;
  TTextSearch search(list, text, wholeWord, matchCase, upperCaseType_, Separators, findFolded_, editGeneration_);
  const auto m = static_cast<int32_t>(search.Length());

  // Where the search begins: a text end, or the caret (between the CR and the
  // LF of a break it counts as the paragraph end).
  const int count = list.Count;
  int par = 0;
  size_t offset = 0;
  if (fromEnd) {
    par = down ? 0 : count - 1;
    offset = down ? 0 : static_cast<size_t>(list.Length(par));
  } else {
    const int32_t caret = SelStart();
    par = list.ParagraphOfPosition(caret);
    offset = static_cast<size_t>(std::clamp(caret - list.StartOffset(par), 0, list.Length(par)));
  }

  if (down) {
    for (int p = par; p < count; ++p) {
      const size_t i = search.FirstFrom(p, p == par ? offset : 0);
      if (i == std::u16string_view::npos) continue;
      // The caret goes to the end of the match, so that the next search continues behind it.
      SetSelStart(list.StartOffset(p) + static_cast<int32_t>(i) + m);
      SetSelLength(-m);
      return true;
    }
    return false;
  }
  for (int p = par; p >= 0; --p) {
    const size_t i = search.LastBefore(p, p == par ? offset : static_cast<size_t>(list.Length(p)) + 1);
    if (i == std::u16string_view::npos) continue;
    SetSelStart(list.StartOffset(p) + static_cast<int32_t>(i));
    SetSelLength(m);
    return true;
  }
  return false;
}

bool TPlusMemoU::FindAcross(std::u16string_view text, bool down, bool wholeWord, bool matchCase) {
  if (text.find_first_of(u"\r\n") == std::u16string_view::npos)
    return FindText(text, down, false, wholeWord, matchCase);
  const TMatchRules rules{wholeWord, matchCase, upperCaseType_, &Separators};
  const int32_t caret = SelStart();
  const auto m = static_cast<int32_t>(text.size());
  if (down) {
    const std::u16string after = GetTextRange(caret, TextLength());
    const std::vector<int32_t> found = FindMatches(after, text, rules);
    if (found.empty()) return false;
    SetSelStart(caret + found.front() + m);
    SetSelLength(-m);
    return true;
  }
  const std::vector<int32_t> found = FindMatches(GetTextRange(0, caret), text, rules);
  if (found.empty()) return false;
  SetSelStart(found.back());
  SetSelLength(m);
  return true;
}

bool TPlusMemoU::SelectionMatches(std::u16string_view text, bool wholeWord, bool matchCase) const {
  const int32_t start = selStartNav_->Pos();
  const int32_t stop = selStopNav_->Pos();
  if (text.empty() || stop - start != static_cast<int32_t>(text.size())) return false;
  // The match is judged with the characters around it, for the whole-word rule.
  const int32_t from = std::max(start - 1, 0);
  const std::u16string around = GetTextRange(from, std::min(stop + 1, TextLength()));
  const std::vector<int32_t> found =
      FindMatches(around, text, TMatchRules{wholeWord, matchCase, upperCaseType_, &Separators});
  return std::find(found.begin(), found.end(), start - from) != found.end();
}

int TPlusMemoU::ReplaceAll(std::u16string_view text, std::u16string_view replacement, bool wholeWord, bool matchCase,
                           bool inSelection) {
  if (ReadOnly || text.empty()) return 0;
  int32_t from = 0;
  int32_t to = TextLength();
  if (inSelection) {
    from = selStartNav_->Pos();
    to = selStopNav_->Pos();
    if (from == to) return 0;
  }
  std::u16string searched = GetTextRange(from, to);
  const std::vector<int32_t> matches =
      FindMatches(searched, text, TMatchRules{wholeWord, matchCase, upperCaseType_, &Separators});
  if (matches.empty()) return 0;
  std::u16string replaced = ReplaceMatches(searched, matches, text.size(), replacement);
  const int32_t caret = SelStart() - from;
  const int32_t newCaret = from + PositionAfterReplace(caret, matches, text.size(), replacement.size());
  const int32_t newTo = from + PositionAfterReplace(to - from, matches, text.size(), replacement.size());

  // One edit over the stretch from the first match to the end of the last.
  BlockMode = false;
  CaretMoved = true;
  SetSelStart(from + matches.front());
  SetSelLength(static_cast<int32_t>(matches.back() - matches.front() + text.size()));
  VirtualColumn = 0;
  // The text searched, cut in place to the stretch replaced, becomes the undo record's.
  std::u16string removed = std::move(searched);
  removed.resize(static_cast<size_t>(matches.back()) + text.size());
  removed.erase(0, static_cast<size_t>(matches.front()));
  ReplaceSelection(std::move(replaced), &removed);
  if (inSelection) {
    SetSelStart(from);
    SetSelLength(newTo - from);
  } else {
    SetSelStart(newCaret);
  }
  return static_cast<int>(matches.size());
}

}  // namespace qm
