#pragma once

#include "res/MenuResource.h"

#include <functional>
#include <vector>

class QAction;
class QMenu;

namespace pirela {

// Builds a menu from its resource entries: separators, submenus (with their own entries) and
// command items, each command item made by addCommand.
void AddMenuEntries(QMenu& menu, const std::vector<res::MenuEntry>& entries,
                    const std::function<QAction*(QMenu&, const res::MenuEntry&)>& addCommand);

} // namespace pirela
