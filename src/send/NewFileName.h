#pragma once

#include "send/SendTarget.h"

#include <optional>
#include <string>
#include <string_view>

namespace pirela {

class Prompter;

// A file name split at its last ".": the part the user may change, and the extension that stays.
struct NameParts {
    std::string stem;
    std::string extension; // without the dot; empty when the name has none
};

NameParts SplitAtExtension(std::string_view fileName);

// Whether the name holds one of the characters that are refused in a new name (those that
// Windows file systems and shares refuse, so that a name travels to a stick or a share).
bool HasForbiddenCharacter(std::string_view name);

// Asks for a new name for the file in the destination folder until the user gives an
// acceptable one or gives up. A refused name (a forbidden character, then emptiness) is
// explained and the dialog offers the current name again; a name that exists there brings the
// overwrite question (No asks again). The target, or none when the user cancelled.
std::optional<SendTarget> AskNewFileName(Prompter& prompter, std::string_view folder,
                                         std::string_view fileName);

} // namespace pirela
