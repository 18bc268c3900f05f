#include "platform/DirectoryReader.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace pirela {

namespace {

EntryKind KindOfMode(mode_t mode) {
    if (S_ISREG(mode)) {
        return EntryKind::RegularFile;
    }
    return S_ISDIR(mode) ? EntryKind::Folder : EntryKind::Other;
}

// The kind from the directory entry itself when the file system tells it (no extra call),
// else from the file's status.
EntryKind KindOf(int folderFd, const dirent& entry) {
    switch (entry.d_type) {
    case DT_REG:
        return EntryKind::RegularFile;
    case DT_DIR:
        return EntryKind::Folder;
    case DT_LNK:
    case DT_UNKNOWN:
        break;
    default:
        return EntryKind::Other;
    }
    struct stat status {};
    if (::fstatat(folderFd, entry.d_name, &status, AT_SYMLINK_NOFOLLOW) != 0) {
        return EntryKind::Other;
    }
    if (!S_ISLNK(status.st_mode)) {
        return KindOfMode(status.st_mode);
    }
    if (::fstatat(folderFd, entry.d_name, &status, 0) != 0) {
        return EntryKind::Other; // a dangling link
    }
    const EntryKind target = KindOfMode(status.st_mode);
    return target == EntryKind::Folder ? EntryKind::LinkToFolder : target;
}

bool IsDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// Visits until visit returns false; false when the folder cannot be read.
template <class Visit>
bool ReadFolder(const std::string& folder, const Visit& visit) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return false;
    }
    const int fd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        if (!IsDotOrDotDot(entry->d_name) && !visit(entry->d_name, KindOf(fd, *entry))) {
            break;
        }
    }
    ::closedir(dir);
    return true;
}

class SystemDirectoryReader final : public DirectoryReader {
public:
    bool Read(const std::string& folder, const Visitor& visit) const override {
        return ReadFolder(folder, visit);
    }
};

} // namespace

bool ForEachDirectoryEntry(const std::string& folder,
                           const std::function<void(std::string_view, EntryKind)>& visit) {
    return ReadFolder(folder, [&visit](std::string_view name, EntryKind kind) {
        visit(name, kind);
        return true;
    });
}

const DirectoryReader& DirectoryReader::System() {
    static const SystemDirectoryReader reader;
    return reader;
}

} // namespace pirela
