#pragma once

#include <string>
#include <vector>

namespace pirela {

// One trash: its files/ and info/ folders lie below path.
struct TrashFolder {
    std::string path;
    // The folder the records' paths are written relative to: the top folder of the disk for a
    // trash there; empty for the home trash, whose records hold absolute paths.
    std::string topFolder;
    bool inHome = false;
};

// The home trash: $XDG_DATA_HOME/Trash, or ~/.local/share/Trash.
std::string HomeTrashPath();

// The trashes a file may go to, best first. A file on the home trash's disk goes there. A file
// on another disk goes to that disk's own trash in its top folder: .Trash/<uid> when .Trash is
// a real folder (not a link) with the sticky bit, which an administrator made for every user,
// and .Trash-<uid> otherwise. resolvedPath is the file's path with the links of its folders
// resolved; the file need not be there any more.
std::vector<TrashFolder> TrashFoldersFor(const std::string& resolvedPath,
                                         const std::string& homeTrash);

} // namespace pirela
