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

// The characters a new name cannot hold on the disk that holds the folder: "/" on the disks of
// POSIX systems, Windows' set on FAT, exFAT, NTFS and shares.
const char* ForbiddenNameCharactersIn(const std::string& folder);

// Whether the name holds one of the forbidden characters, or a NUL byte.
bool HasForbiddenCharacter(std::string_view name, std::string_view forbidden);

// Asks for a new name for the file in the destination folder until the user gives an
// acceptable one or gives up. A name the destination's disk cannot hold, then an empty one, is
// refused with the reason, and the dialog offers what was typed to be mended; a name that
// exists there brings the overwrite question (No asks again). The target, or none when the
// user cancelled.
std::optional<SendTarget> AskNewFileName(Prompter& prompter, std::string_view folder,
                                         std::string_view fileName);

} // namespace pirela
