#pragma once

#include <string>

namespace pirela::res {

// A command's texts: the prompt shown in the status bar while the pointer rests on its menu
// item or button, and the tool tip of its button (empty when it has none).
struct CommandText {
    int id;
    std::string prompt;
    std::string toolTip;
};

// The texts of a command, or nullptr for a command without any.
const CommandText* FindCommandText(int id);

// The status bar's panes, left to right after the message pane, and the prototype text that
// sets each one's width.
inline constexpr int kStatusPanes[] = {105, 101, 102, 104, 103};
const char* PanePrototypeText(int paneId);

// What the message pane shows while no prompt is shown.
inline constexpr const char* kIdleText = "レディ";

} // namespace pirela::res
