// The main window's commands as data: name, caption, hint and shortcut of every action.
#pragma once

#include <span>

namespace qm {

struct TActionSpec {
  const char* Name;      // the action's component name
  const char* Caption;   // menu text
  const char* Hint;      // tool tip; nullptr for none
  const char* Shortcut;  // in QKeySequence's portable text form; nullptr for none
};

// The actions of the main window's menus, in the order of the action list.
std::span<const TActionSpec> MainActions();

}  // namespace qm
