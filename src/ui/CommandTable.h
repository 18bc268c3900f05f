#pragma once

#include <functional>
#include <map>

namespace pirela {

// Every command the user can give, keyed by its identifier: what it does and when it applies.
// Menus, keys and buttons all come here, so a command that does not apply never runs, whichever
// way it was asked for. A command that is not in the table is not built yet; its menu item
// stays disabled.
class CommandTable {
public:
    using Handler = std::function<void()>;
    using EnableRule = std::function<bool()>;

    // Without a rule the command is always enabled.
    void Add(int id, Handler handler, EnableRule isEnabled = {});

    bool Contains(int id) const { return commands_.count(id) != 0; }
    bool IsEnabled(int id) const;

    // Runs the command when it exists and is enabled; returns whether it ran.
    bool Execute(int id) const;

private:
    struct Command {
        Handler handler;
        EnableRule isEnabled;
    };
    std::map<int, Command> commands_;
};

} // namespace pirela
