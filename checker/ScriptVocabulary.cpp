// The checker's vocabulary from the categories of the vocabulary file.
#include "checker/ScriptVocabulary.h"

#include "editor/store/CaseFolding.h"

namespace qm::check {

TScriptVocabulary TScriptVocabulary::FromCategories(const std::array<std::vector<std::u16string>, 5>& items) {
  TScriptVocabulary v;
  auto addAll = [](TWordSet& set, const std::vector<std::u16string>& words) {
    for (const std::u16string& w : words)
      if (!w.empty()) set.Add(FoldedCopy(w, pmuAnsi));
  };
  addAll(v.Callables, items[0]);
  addAll(v.VarTypes, items[1]);
  addAll(v.Callables, items[2]);
  addAll(v.BlockTypes, items[3]);
  return v;
}

}  // namespace qm::check
