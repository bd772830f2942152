// The main window's highlighter chain configuration as the tools carry it.
#pragma once

#include <string_view>

namespace qm {

// The text of app/HighlighterChain.cfg at build time.
std::string_view MainChainConfigText();

}  // namespace qm
