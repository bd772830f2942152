// TScriptVocabulary: the words the checker knows, by what they are, matched in any letter case.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace qm::check {

// A set of words folded to upper case, looked up without a copy.
class TWordSet {
 public:
  void Add(std::u16string_view folded) { words_.emplace(folded); }
  bool Contains(std::u16string_view folded) const { return words_.find(folded) != words_.end(); }
  bool Empty() const { return words_.empty(); }

 private:
  struct Hash {
    using is_transparent = void;
    size_t operator()(std::u16string_view s) const { return std::hash<std::u16string_view>()(s); }
  };
  std::unordered_set<std::u16string, Hash, std::equal_to<>> words_;
};

struct TScriptVocabulary {
  TWordSet Callables;   // functions and commands: what may begin a statement
  TWordSet VarTypes;    // the types a declaration begins with
  TWordSet BlockTypes;  // what may follow "begin"

  // From the vocabulary file's categories in their load order: functions,
  // variable types, commands, block types, parameters.
  static TScriptVocabulary FromCategories(const std::array<std::vector<std::u16string>, 5>& items);
};

}  // namespace qm::check
