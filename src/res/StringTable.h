#pragma once

namespace pirela::res {

// A command's texts: the prompt shown in the status bar while the pointer rests on its menu
// item or button, and the tool tip of its button (empty when it has none).
struct CommandText {
    int id;
    const char* prompt;
    const char* toolTip;
};

// The texts of a command, or nullptr for a command without any.
const CommandText* FindCommandText(int id);

} // namespace pirela::res
