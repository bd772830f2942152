// Searching the paragraphs for a string: the folded copy of a paragraph and the whole-word test.
#include "editor/control/TextSearch.h"

#include "editor/store/CaseFolding.h"

namespace qm {

TTextSearch::TTextSearch(const TParagraphsList& list, std::u16string_view pattern, bool wholeWord, bool matchCase,
                         TpmUpperCase folding, const TCharSet& separators, TFoldedParagraph& folded,
                         uint64_t generation)
    : list_(list),
      pattern_(pattern),
      wholeWord_(wholeWord),
      matchCase_(matchCase),
      folding_(folding),
      separators_(separators),
      folded_(folded),
      generation_(generation) {
  if (!matchCase_) FoldCase(pattern_, folding_);
}

std::u16string_view TTextSearch::Searched(int par) {
  const std::u16string_view plain = list_.TextView(par);
  if (matchCase_) return plain;
  if (folded_.Par != par || folded_.Generation != generation_ || folded_.Text.size() != plain.size()) {
    folded_.Text.assign(plain);
    FoldCase(folded_.Text, folding_);
    folded_.Par = par;
    folded_.Generation = generation_;
  }
  return folded_.Text;
}

bool TTextSearch::WholeWordAt(int par, size_t i) const {
  if (!wholeWord_) return true;
  const std::u16string_view text = list_.TextView(par);
  if (i > 0 && !separators_.Contains(text[i - 1])) return false;
  return i + pattern_.size() >= text.size() || separators_.Contains(text[i + pattern_.size()]);
}

size_t TTextSearch::FirstFrom(int par, size_t from) {
  const std::u16string_view hay = Searched(par);
  for (size_t i = hay.find(pattern_, from); i != std::u16string_view::npos; i = hay.find(pattern_, i + 1))
    if (WholeWordAt(par, i)) return i;
  return std::u16string_view::npos;
}

size_t TTextSearch::LastBefore(int par, size_t before) {
  const std::u16string_view hay = Searched(par);
  if (before == 0 || hay.size() < pattern_.size()) return std::u16string_view::npos;
  for (size_t i = hay.rfind(pattern_, before - 1); i != std::u16string_view::npos;
       i = i == 0 ? std::u16string_view::npos : hay.rfind(pattern_, i - 1))
    if (WholeWordAt(par, i)) return i;
  return std::u16string_view::npos;
}

}  // namespace qm
