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

// The way the folder scan reads folders: the system's, or in tests one that makes up a folder
// of a million names without a disk.
class DirectoryReader {
public:
    // Returns false to stop the reading there.
    using Visitor = std::function<bool(std::string_view name, EntryKind kind)>;

    virtual ~DirectoryReader() = default;

    // Visits the entries as ForEachDirectoryEntry does, until the visitor says stop. False when
    // the folder cannot be read.
    virtual bool Read(const std::string& folder, const Visitor& visit) const = 0;

    // The file system's folders.
    static const DirectoryReader& System();
};

} // namespace pirela
