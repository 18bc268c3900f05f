#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace pirela {

enum class EntryKind { RegularFile, Folder, LinkToFolder, Other };

// Calls visit(name, kind) for every entry of the folder except "." and "..", in the order the
// file system gives them. Links are followed to tell a file from a folder, but a link to a
// folder is reported as such so that a walk can decline to enter it. False when the folder
// cannot be read.
bool ForEachDirectoryEntry(const std::string& folder,
                           const std::function<void(std::string_view, EntryKind)>& visit);

} // namespace pirela
