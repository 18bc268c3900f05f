#pragma once

#include <vector>

namespace pirela::res {

// One entry of the main toolbar (resource 128): a command with its icon, or a separator
// (command 0). Previous and next carry a drop-down arrow.
struct ToolBarEntry {
    int command;
    const char* icon; // the name of an SVG in icons/toolbar
    bool dropDown = false;
};

const std::vector<ToolBarEntry>& MainToolBar();

} // namespace pirela::res
