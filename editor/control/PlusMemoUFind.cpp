// TPlusMemoU::FindText: paragraph-by-paragraph search for a string, down or up, from the caret or a text end.
#include <algorithm>
#include <string>
#include <string_view>

#include "editor/control/PlusMemoU.h"
#include "editor/control/TextSearch.h"

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

}  // namespace qm
