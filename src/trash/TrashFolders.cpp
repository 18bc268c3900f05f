#include "trash/TrashFolders.h"

#include "common/PathRules.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace pirela {

namespace {

// The device of the path, or of the nearest folder above it that exists (the home trash may
// not have been made yet).
dev_t DeviceOf(std::string path) {
    struct stat status {};
    while (::stat(path.c_str(), &status) != 0) {
        if (path.empty() || path == "/") {
            return 0;
        }
        path = FolderOf(path);
    }
    return status.st_dev;
}

// The highest folder above the file that still lies on its disk.
std::string TopFolderOf(const std::string& resolvedPath, dev_t device) {
    std::string top = FolderOf(resolvedPath);
    for (std::string above = FolderOf(top); top != "/" && !above.empty(); above = FolderOf(top)) {
        struct stat status {};
        if (::stat(above.c_str(), &status) != 0 || status.st_dev != device) {
            break;
        }
        top = above;
    }
    return top;
}

bool IsSharedTrash(const std::string& folder) {
    struct stat status {};
    return ::lstat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode) &&
           (status.st_mode & S_ISVTX) != 0;
}

} // namespace

std::string HomeTrashPath() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && data[0] == '/') {
        return JoinPath(data, "Trash");
    }
    const char* home = std::getenv("HOME");
    return JoinPath(home != nullptr ? home : "", ".local/share/Trash");
}

std::vector<TrashFolder> TrashFoldersFor(const std::string& resolvedPath,
                                         const std::string& homeTrash) {
    // A file no longer there (it went into a trash) lay on its folder's disk.
    struct stat file {};
    const dev_t device = ::lstat(resolvedPath.c_str(), &file) == 0 ? file.st_dev
                                                                   : DeviceOf(FolderOf(resolvedPath));
    if (device == 0) {
        return {};
    }
    if (device == DeviceOf(homeTrash)) {
        return {{homeTrash, {}, true}};
    }
    const std::string top = TopFolderOf(resolvedPath, device);
    const std::string uid = std::to_string(::getuid());
    std::vector<TrashFolder> folders;
    if (IsSharedTrash(JoinPath(top, ".Trash"))) {
        folders.push_back({JoinPath(JoinPath(top, ".Trash"), uid), top, false});
    }
    folders.push_back({JoinPath(top, ".Trash-" + uid), top, false});
    return folders;
}

} // namespace pirela
