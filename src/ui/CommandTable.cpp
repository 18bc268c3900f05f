#include "ui/CommandTable.h"

namespace pirela {

void CommandTable::Add(int id, Handler handler, EnableRule isEnabled) {
    commands_[id] = Command{std::move(handler), std::move(isEnabled)};
}

bool CommandTable::IsEnabled(int id) const {
    const auto found = commands_.find(id);
    if (found == commands_.end()) {
        return false;
    }
    return !found->second.isEnabled || found->second.isEnabled();
}

bool CommandTable::Execute(int id) const {
    if (!IsEnabled(id)) {
        return false;
    }
    commands_.at(id).handler();
    return true;
}

} // namespace pirela
