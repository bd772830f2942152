// The main window's highlighter chain for the fuzz targets, built from the configuration the tools carry.
#pragma once

#include <memory>

#include "app/chain/ChainConfig.h"
#include "editor/highlight/HighlighterChain.h"

namespace qm::fuzz {

// The chain as the main window stores it, before any vocabulary is loaded.
inline std::unique_ptr<THighlighterChain> StoredChain() {
  static const TStoredConfig config = ParseStoredConfig(MainChainConfigText());
  return BuildHighlighterChain(config);
}

// The chain with a few words in every category.
inline std::unique_ptr<THighlighterChain> ChainWithVocabulary() {
  auto chain = StoredChain();
  std::array<std::vector<std::u16string>, 5> items;
  items[0] = {u"Activate", u"AddItem", u"GetStage", u"SetStage", u"MessageBox", u"GetDistance"};
  items[1] = {u"short", u"long", u"float", u"ref"};
  items[2] = {u"set", u"to", u"if", u"elseif", u"else", u"endif", u"return", u"end", u"begin"};
  items[3] = {u"GameMode", u"MenuMode", u"OnActivate"};
  items[4] = {u"player", u"Gold001"};
  LoadVocabulary(*chain, items, nullptr);
  return chain;
}

}  // namespace qm::fuzz
