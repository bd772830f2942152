// The main window's highlighter chain, built from its stored configuration, and the vocabulary loaded into it.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editor/highlight/ExtHilitU.h"
#include "editor/highlight/NbHilitU.h"
#include "editor/highlight/StoredConfig.h"
#include "platform/XmlDom.h"

namespace qm {

// ExtHighlighterU1 -> … -> ExtHighlighterU5 -> NumberHighlighterU1, owned together.
struct THighlighterChain {
  std::array<std::unique_ptr<TExtHighlighterU>, 5> Ext;
  std::unique_ptr<TNumberHighlighterU> Numbers;

  TPlusHighlighterU* First() const { return Ext[0].get(); }
  // ExtHighlighterU1 … U5 by number 1 … 5.
  TExtHighlighterU& U(int n) const { return *Ext[static_cast<size_t>(n - 1)]; }
};

// Builds the chain from a stored configuration holding the objects
// ExtHighlighterU1 … U5 and NumberHighlighterU1. A missing object or a
// property of the wrong kind raises EReadError naming it.
std::unique_ptr<THighlighterChain> BuildHighlighterChain(const TStoredConfig& config);
std::unique_ptr<THighlighterChain> LoadHighlighterChain(const std::string& path);

// The vocabulary categories in their load order.
enum class TVocabularyCategory { Functions, Variables, Commands, BlockTypes, Parameters };

struct TVocabularyCategoryInfo {
  TVocabularyCategory Category;
  const char* TagPath;    // "extension/function" …
  int Highlighter;        // 1 … 5
  int32_t ContextNum;     // of the items
  const char* SyntaxKey;  // key of the colour in the settings file's Syntax section
};
const std::array<TVocabularyCategoryInfo, 5>& VocabularyCategories();

// Puts the items of each category (already trimmed, in document order) into
// its highlighter: the template's attributes, the category colour (asked of
// `colour` with the template's foreground as the default), ScopeLevel 1; the
// block type "MenuMode" gets context 11. A category without items keeps its
// template.
void LoadVocabulary(THighlighterChain& chain, const std::array<std::vector<std::u16string>, 5>& items,
                    const std::function<TColor(const char* syntaxKey, TColor templateColour)>& colour);

// The items of every category of a vocabulary document, trimmed of
// characters of code 32 or less at both ends, in document order.
std::array<std::vector<std::u16string>, 5> ReadVocabularyItems(const TXmlDocument& document);

}  // namespace qm
