#include "ui/CommandTable.h"

namespace pirela {

void CommandTable::Add(int id, Handler handler, Rule isEnabled, Rule isChecked) {
    commands_[id] = Command{std::move(handler), std::move(isEnabled), std::move(isChecked)};
}

const CommandTable::Command* CommandTable::Find(int id) const {
    const auto found = commands_.find(id);
    return found == commands_.end() ? nullptr : &found->second;
}

bool CommandTable::IsEnabled(int id) const {
    const Command* command = Find(id);
    return command != nullptr && !HeldAtGate(id) && (!command->isEnabled || command->isEnabled());
}

bool CommandTable::HasCheckMark(int id) const {
    const Command* command = Find(id);
    return command != nullptr && command->isChecked;
}

bool CommandTable::IsChecked(int id) const {
    const Command* command = Find(id);
    return command != nullptr && command->isChecked && command->isChecked();
}

const CommandTable::TextRule* CommandTable::FindTextRule(int id) const {
    const auto found = textRules_.find(id);
    return found == textRules_.end() ? nullptr : &found->second;
}

const CommandTable::TextRule* CommandTable::FindPromptRule(int id) const {
    const auto found = promptRules_.find(id);
    return found == promptRules_.end() ? nullptr : &found->second;
}

std::optional<int> CommandTable::ChoiceGroup(int id) const {
    const auto found = choiceGroups_.find(id);
    return found == choiceGroups_.end() ? std::nullopt : std::optional<int>(found->second);
}

bool CommandTable::Execute(int id) const {
    if (!IsEnabled(id)) {
        return false;
    }
    Find(id)->handler();
    return true;
}

} // namespace pirela
