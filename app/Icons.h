// The main window's image list: 20 icons of one style for its actions and tool buttons.
#pragma once

#include <QIcon>

#include <string>
#include <vector>

namespace qm {

// The icon of an action or tool button by its component name; a null icon
// for names outside the image list.
QIcon ActionIcon(const std::string& name);
// The names the image list holds, in its order.
const std::vector<std::string>& IconNames();

}  // namespace qm
