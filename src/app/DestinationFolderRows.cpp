#include "app/DestinationFolderRows.h"

#include "common/AsciiText.h"
#include "common/PathRules.h"
#include "host/Prompter.h"
#include "platform/FileAccess.h"
#include "res/Messages.h"

namespace pirela {

bool IsAcceptableDestination(const std::string& folder) {
    if (folder.empty()) {
        return true;
    }
    return folder.front() == kPathSeparator && !HasLineBreak(folder) && IsEnterableFolder(folder);
}

bool StoreAcceptableDestinations(const DestinationRows& rows, DestinationRows& destinations,
                                 Prompter& prompter) {
    bool allAcceptable = true;
    for (std::size_t row = 0; row < rows.size(); ++row) {
        if (IsAcceptableDestination(rows[row])) {
            destinations[row] = rows[row];
            continue;
        }
        allAcceptable = false;
        prompter.ShowMessage(HasLineBreak(rows[row]) ? res::LineBreakInFolderMessage(rows[row])
                                                     : res::InvalidDestinationMessage(rows[row]),
                             MessageIcon::Warning, MessageButtons::Ok);
    }
    return allAcceptable;
}

} // namespace pirela
