#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>

namespace pirela {

// Every command the user can give, keyed by its identifier: what it does, when it applies and
// whether its menu item carries a mark. Menus, keys and buttons all come here, so a command
// that does not apply never runs, whichever way it was asked for. A command that is not in the
// table is not built yet; its menu item stays disabled.
class CommandTable {
public:
    using Handler = std::function<void()>;
    using Rule = std::function<bool()>;

    // Without an enable rule the command is always enabled; without a check rule it has no mark.
    void Add(int id, Handler handler, Rule isEnabled = {}, Rule isChecked = {});

    bool Contains(int id) const { return commands_.count(id) != 0; }
    bool IsEnabled(int id) const;
    bool HasCheckMark(int id) const;
    bool IsChecked(int id) const;

    // Runs the command when it exists and is enabled; returns whether it ran.
    bool Execute(int id) const;

    // A rule over every command, before its own: a command it refuses is disabled (file work
    // running lets only the viewing commands act).
    using Gate = std::function<bool(int id)>;
    void SetGate(Gate gate) { gate_ = std::move(gate); }
    // Whether the gate, not the command's own rule, keeps the command from running now.
    bool HeldAtGate(int id) const { return Contains(id) && gate_ && !gate_(id); }

    // A menu text computed whenever the menu opens (destination and file-manager items). It
    // may belong to a command that is not built yet.
    using TextRule = std::function<std::string()>;
    void SetTextRule(int id, TextRule rule) { textRules_[id] = std::move(rule); }
    const TextRule* FindTextRule(int id) const;

    // A prompt (the message pane's text for the command's menu item) computed whenever the
    // commands are brought up to date.
    void SetPromptRule(int id, TextRule rule) { promptRules_[id] = std::move(rule); }
    const TextRule* FindPromptRule(int id) const;

    // Commands of one group are one choice among several (the zoom rates): their menu items
    // carry radio marks instead of check boxes.
    void SetChoiceGroup(int id, int group) { choiceGroups_[id] = group; }
    std::optional<int> ChoiceGroup(int id) const;

private:
    struct Command {
        Handler handler;
        Rule isEnabled;
        Rule isChecked;
    };
    const Command* Find(int id) const;

    std::map<int, Command> commands_;
    std::map<int, TextRule> textRules_;
    std::map<int, TextRule> promptRules_;
    std::map<int, int> choiceGroups_;
    Gate gate_;
};

} // namespace pirela
