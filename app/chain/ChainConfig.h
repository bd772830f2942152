// The main window's highlighter chain configuration, compiled into the program and the tools.
#pragma once

#include <string_view>

namespace qm {

// The text of app/chain/HighlighterChain.cfg at build time.
std::string_view MainChainConfigText();
// The text of app/chain/ScriptRules.cfg at build time: the script checker's rules.
std::string_view ScriptRulesText();

}  // namespace qm
