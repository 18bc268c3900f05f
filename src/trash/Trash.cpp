#include "trash/Trash.h"

#include "common/PathRules.h"
#include "platform/DiskKind.h"
#include "platform/FileAccess.h"
#include "platform/FileIdentity.h"
#include "platform/FileTransfer.h"
#include "platform/FolderFlush.h"
#include "platform/RegularFile.h"
#include "trash/TrashInfo.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace pirela {

namespace {

constexpr int kNameAttempts = 1000;

// The file's path with the links of its folders resolved, as the record must name it (the
// file itself may be a link, which is trashed as itself).
std::string ResolvedPath(const std::string& path) {
    const std::string folder = FolderOf(path);
    char* resolved = ::realpath(folder.empty() ? "." : folder.c_str(), nullptr);
    if (resolved == nullptr) {
        return path;
    }
    std::string result = JoinPath(resolved, FileNameOf(path));
    std::free(resolved);
    return result;
}

// The path as the record of a trash in a disk's top folder holds it: relative to that folder.
std::string RecordedPath(const TrashFolder& folder, const std::string& resolved) {
    if (folder.inHome) {
        return resolved;
    }
    const std::size_t skip = folder.topFolder == "/" ? 1 : folder.topFolder.size() + 1;
    return resolved.substr(std::min(skip, resolved.size()));
}

TransferResult NotTrashable(const std::string& path) {
    return {NameExists(path) ? TransferStatus::NotAFile : TransferStatus::VanishedSource,
            NameExists(path) ? kNotRegularFileError : ENOENT};
}

// Whether the trash record names the path (resolved); cutOff: or it was cut off before it
// could say.
bool RecordNames(const TrashFolder& folder, const std::string& resolved,
                 const std::string& infoPath, bool cutOff = false) {
    const std::string ours =
        "[Trash Info]\nPath=" + EscapeUriPath(RecordedPath(folder, resolved)) + "\n";
    const std::optional<std::string> record = ReadWholeFile(infoPath, 1 << 16);
    return record && (record->starts_with(ours) || (cutOff && ours.starts_with(*record)));
}

} // namespace

TrashResult Trash::Put(const std::string& path) const {
    if (!NamesRegularFile(path.c_str())) {
        return {NotTrashable(path), {}};
    }
    const std::string resolved = ResolvedPath(path);
    TransferResult last{TransferStatus::Other, ENOENT};
    // A trash that cannot be made, or that lies on another disk after all (a bind mount), is
    // passed over for the next.
    for (const TrashFolder& folder : TrashFoldersFor(resolved, homeTrash_)) {
        if (const int error = Prepare(folder); error != 0) {
            last = TransferResult::FromError(error);
            continue;
        }
        TrashResult put = PutInto(folder, path, resolved);
        if (put.Succeeded() || put.result.status != TransferStatus::CrossDevice) {
            return put;
        }
        last = put.result;
    }
    return {last, {}};
}

TransferResult Trash::Restore(const TrashedFile& trashed) const {
    const TransferResult back = RenameName(trashed.trashedPath, trashed.originalPath);
    if (back.Succeeded()) {
        FlushFolder(FolderOf(trashed.originalPath), calls_);
        FlushFolder(FolderOf(trashed.trashedPath), calls_);
        calls_.unlink(trashed.infoPath.c_str()); // else the trash would show a file not there
    }
    return back;
}

TransferResult Trash::RenameName(const std::string& from, const std::string& to) const {
    FileTransfer transfer(calls_);
    transfer.BeforeClaiming(beforeClaiming_);
    return transfer.Rename(from, to);
}

template <class Visit>
void Trash::ForEachEntry(const std::string& path, Visit visit) const {
    const std::string resolved = ResolvedPath(path);
    for (const TrashFolder& folder : TrashFoldersFor(resolved, homeTrash_)) {
        for (int attempt = 1; attempt <= kNameAttempts; ++attempt) {
            const std::string name = TrashEntryName(FileNameOf(path), attempt);
            visit(folder, resolved,
                  TrashedFile{path, JoinPath(JoinPath(folder.path, "files"), name),
                              JoinPath(JoinPath(folder.path, "info"),
                                       name + std::string(kTrashInfoSuffix))});
        }
    }
}

std::optional<TrashedFile> Trash::Find(const std::string& path,
                                       const FileIdentity& identity) const {
    std::optional<TrashedFile> found;
    std::optional<DiskKind> kind;
    ForEachEntry(path, [&](const TrashFolder& folder, const std::string& resolved,
                           TrashedFile trashed) {
        if (found) {
            return;
        }
        const std::optional<FileIdentity> there = FileIdentity::Of(trashed.trashedPath);
        if (there && !kind) {
            kind = DiskKindOf(folder.path, calls_);
        }
        // Where only size and time tell files apart, a file of that look trashed from another
        // folder is not this one: its record must name the path.
        if (there && IsSameFileOn(*kind, identity, there) &&
            RecordNames(folder, resolved, trashed.infoPath)) {
            found = std::move(trashed);
        }
    });
    return found;
}

void Trash::ForgetCutShort(const std::string& path, const std::optional<FileIdentity>& file,
                           std::optional<std::int64_t> claimedSince) const {
    ForEachEntry(path, [&](const TrashFolder& folder, const std::string& resolved,
                           const TrashedFile& trashed) {
        if (!NameExists(trashed.infoPath)) {
            return;
        }
        struct stat status {};
        const bool standing = ::lstat(trashed.trashedPath.c_str(), &status) == 0;
        // FAT's times are two seconds coarse.
        const bool claim = claimedSince && standing && S_ISREG(status.st_mode) &&
                           status.st_size == 0 && status.st_mtim.tv_sec + 2 >= *claimedSince &&
                           !IsSameFileOn(DiskKindOf(folder.path, calls_), file,
                                         FileIdentity::FromStatus(status));
        if (standing && !claim) {
            return;
        }
        // Ours when it names the path, or when it was cut off before it could (a crash between
        // creating the record and writing it leaves it empty).
        if (RecordNames(folder, resolved, trashed.infoPath, true)) {
            if (claim) {
                calls_.unlink(trashed.trashedPath.c_str());
            }
            calls_.unlink(trashed.infoPath.c_str());
        }
    });
}

// The trash's folders, made where missing: for the home trash, also whatever of the user's
// data folder is missing.
int Trash::Prepare(const TrashFolder& folder) const {
    std::vector<std::string> missing;
    for (std::string above = FolderOf(folder.path); !above.empty() && !NameExists(above);
         above = FolderOf(above)) {
        missing.push_back(above);
    }
    for (auto above = missing.rbegin(); above != missing.rend(); ++above) {
        if (const int error = MakeFolder(*above, false); error != 0) {
            return error;
        }
    }
    // Another user could have put a link or a folder of theirs in the place of our trash on a
    // shared disk.
    const bool shared = !folder.inHome;
    for (const auto& [made, ours] :
         {std::pair{folder.path, shared}, std::pair{JoinPath(folder.path, "files"), false},
          std::pair{JoinPath(folder.path, "info"), false}}) {
        if (const int error = MakeFolder(made, ours); error != 0) {
            return error;
        }
    }
    return 0;
}

// Makes the folder when it is missing. What stands there must be a real folder (never a link),
// and owned by us when ours is set.
int Trash::MakeFolder(const std::string& folder, bool ours) const {
    if (calls_.mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        return errno;
    }
    struct stat status {};
    if (::lstat(folder.c_str(), &status) != 0) {
        return errno;
    }
    if (!S_ISDIR(status.st_mode) || (ours && status.st_uid != ::getuid())) {
        return ENOTDIR;
    }
    return 0;
}

TrashResult Trash::PutInto(const TrashFolder& folder, const std::string& path,
                           const std::string& resolved) const {
    const std::string text = TrashInfoText(RecordedPath(folder, resolved), std::time(nullptr));
    const std::string files = JoinPath(folder.path, "files");
    const std::string info = JoinPath(folder.path, "info");
    for (int attempt = 1; attempt <= kNameAttempts; ++attempt) {
        const std::string name = TrashEntryName(FileNameOf(path), attempt);
        TrashedFile where{path, JoinPath(files, name),
                          JoinPath(info, name + std::string(kTrashInfoSuffix))};
        const int error = WriteRecord(where.infoPath, text);
        if (error == EEXIST) {
            continue;
        }
        if (error != 0) {
            return {TransferResult::FromError(error), {}};
        }
        FlushFolder(info, calls_);
        const TransferResult moved = RenameName(path, where.trashedPath);
        if (moved.Succeeded()) {
            FlushFolder(files, calls_);
            FlushFolder(FolderOf(path), calls_);
            return {moved, std::move(where)};
        }
        calls_.unlink(where.infoPath.c_str());
        if (moved.status != TransferStatus::Exists) {
            return {moved, {}};
        }
    }
    return {{TransferStatus::Exists, EEXIST}, {}};
}

// Creates the record exclusively (two programs trashing two files of one name get two
// records), writes it and flushes it. 0 or the errno of the step that failed; a record that
// could not be written whole is removed.
int Trash::WriteRecord(const std::string& infoPath, const std::string& text) const {
    const int fd =
        calls_.open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        return errno;
    }
    int error = WriteAllBytes(calls_, fd, text.data(), text.size());
    if (error == 0 && calls_.fsync(fd) != 0) {
        error = errno;
    }
    if (calls_.close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error != 0) {
        calls_.unlink(infoPath.c_str());
    }
    return error;
}

} // namespace pirela
