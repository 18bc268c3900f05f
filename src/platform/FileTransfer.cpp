#include "platform/FileTransfer.h"

#include "platform/FileAccess.h"
#include "platform/FolderFlush.h"
#include "platform/RegularFile.h"

#include <cerrno>
#include <fcntl.h>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace pirela {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kBufferSize = std::size_t(1) << 20;
constexpr std::uint64_t kProgressStep = std::uint64_t(8) << 20;
// What the kernel copies at a time: small enough that a cancel is heard within a moment even
// on a slow stick.
constexpr std::size_t kSendBlock = std::size_t(1) << 20;
constexpr int kTemporaryNameAttempts = 100;
constexpr mode_t kAnyWriteBit = S_IWUSR | S_IWGRP | S_IWOTH;
constexpr mode_t kPermissionBits = 0777; // never set-user, set-group or sticky

fs::path FolderOf(const fs::path& file) {
    return file.has_parent_path() ? file.parent_path() : fs::path(".");
}

// Short on purpose: a name beside a destination of 250 bytes must still fit.
std::string TemporaryName() {
    static std::mt19937 random{std::random_device{}()};
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    std::string name = ".pirela-";
    for (int i = 0; i < 6; ++i) {
        name += kLetters[pick(random)];
    }
    return name;
}

bool SameIdentity(const struct stat& first, const struct stat& second) {
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// Both as the names themselves (two hard links, or one symbolic link) and as what they lead to
// (a link and its target): renaming one such name over the other would lose the file.
bool NamesOneFile(const fs::path& first, const fs::path& second) {
    struct stat a {};
    struct stat b {};
    if (::lstat(first.c_str(), &a) == 0 && ::lstat(second.c_str(), &b) == 0 &&
        SameIdentity(a, b)) {
        return true;
    }
    return FileTransfer::IsSameFile(first, second);
}

bool IsFolder(const fs::path& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// A source that is gone, or that is not a regular file, is told apart from other failures,
// since the user can do nothing about it but look again.
TransferResult SourceFailure(const fs::path& source, int error) {
    struct stat status {};
    if (error == ENOENT && ::lstat(source.c_str(), &status) != 0) {
        return {TransferStatus::VanishedSource, error};
    }
    if (error == kNotRegularFileError && !NamesRegularFile(source.c_str())) {
        return {TransferStatus::NotAFile, error};
    }
    return TransferResult::FromError(error);
}

TransferResult Failure(int error) {
    return TransferResult::FromError(error);
}

// A failure to make a name in the destination folder. nameAtStake: the name is the user's
// (not our temporary one), so a file system that refuses characters may be refusing it: FAT
// answers EINVAL, exFAT through FUSE ENOENT (EILSEQ for bytes that are not UTF-8), and fusefat
// EPERM.
TransferResult DestinationFailure(const fs::path& destination, int error, bool nameAtStake) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return {nameAtStake && IsFolder(FolderOf(destination)) ? TransferStatus::NameNotAllowed
                                                               : TransferStatus::DestinationGone,
                error};
    case EINVAL:
    case EILSEQ:
    case ENAMETOOLONG:
        return {TransferStatus::NameNotAllowed, error};
    case EPERM:
        return {nameAtStake ? TransferStatus::NameNotAllowed : TransferStatus::DestinationReadOnly,
                error};
    case EACCES:
    case EROFS:
        return {TransferStatus::DestinationReadOnly, error};
    default:
        return Failure(error);
    }
}

// Where the no-replace rename may not be known: FUSE answers ENOSYS (or EINVAL once it has
// learnt that the file system lacks it), network file systems EINVAL or ENOTSUP.
bool FlagUnknown(int error) {
    return error == EINVAL || error == ENOSYS || error == ENOTSUP;
}

// Where hard links are not known: FAT and exFAT answer EPERM, FUSE ENOSYS, shares ENOTSUP.
bool LinksUnknown(int error) {
    return error == EPERM || error == ENOTSUP || error == ENOSYS || error == EINVAL;
}

// A folder flush that the file system cannot do is no failure: there is nothing more to be had.
bool CannotSyncFolders(int error) {
    return error == EINVAL || error == ENOSYS || error == ENOTSUP || error == EROFS;
}

} // namespace

bool FileTransfer::IsSameFile(const fs::path& first, const fs::path& second) {
    struct stat a {};
    struct stat b {};
    return ::stat(first.c_str(), &a) == 0 && ::stat(second.c_str(), &b) == 0 &&
           SameIdentity(a, b);
}

std::optional<std::uint64_t> FileTransfer::FreeSpace(const fs::path& folder) const {
    struct statvfs facts {};
    if (calls_.statvfs(folder.c_str(), &facts) != 0 || facts.f_blocks == 0) {
        return std::nullopt;
    }
    return std::uint64_t(facts.f_bavail) * std::uint64_t(facts.f_frsize);
}

TransferResult FileTransfer::Remove(const fs::path& file) const {
    if (calls_.unlink(file.c_str()) != 0) {
        return SourceFailure(file, errno);
    }
    return TransferResult::Success();
}

TransferResult FileTransfer::Copy(const fs::path& source, const fs::path& destination,
                                  Overwrite overwrite) const {
    const TransferResult result = CopyUnsynced(source, destination, overwrite);
    if (result.Succeeded()) {
        // So that a power cut cannot leave the reported copy under its temporary name only.
        // The source is whole whatever this answers.
        SyncFolder(FolderOf(destination));
    }
    return result;
}

TransferResult FileTransfer::CopyUnsynced(const fs::path& source, const fs::path& destination,
                                          Overwrite overwrite) const {
    const int in = OpenRegularFile(source.c_str(), calls_);
    if (in < 0) {
        return SourceFailure(source, errno);
    }
    struct stat status {};
    bool destinationExists = false;
    TransferResult result =
        ::fstat(in, &status) == 0
            ? CheckDestination(source, destination, overwrite, destinationExists)
            : Failure(errno);
    if (result.Succeeded()) {
        result = CopyOpenFile(in, status, destination, overwrite);
    }
    calls_.close(in); // only read: closing it cannot lose anything
    return result;
}

TransferResult FileTransfer::Move(const fs::path& source, const fs::path& destination,
                                  Overwrite overwrite) const {
    bool destinationExists = false;
    const TransferResult renamed = RenameName(source, destination, overwrite, destinationExists);
    if (renamed.status != TransferStatus::CrossDevice) {
        return renamed;
    }
    return MoveAcrossDevices(source, destination, overwrite);
}

TransferResult FileTransfer::Rename(const fs::path& source, const fs::path& destination) const {
    bool destinationExists = false;
    return RenameName(source, destination, Overwrite::Refuse, destinationExists);
}

TransferResult FileTransfer::RenameName(const fs::path& source, const fs::path& destination,
                                        Overwrite overwrite, bool& destinationExists) const {
    if (!NamesRegularFile(source.c_str())) {
        return SourceFailure(source, NameExists(source) ? kNotRegularFileError : ENOENT);
    }
    const TransferResult check =
        CheckDestination(source, destination, overwrite, destinationExists);
    if (!check.Succeeded()) {
        return check;
    }
    return Place(source, destination, overwrite);
}

TransferResult FileTransfer::CheckDestination(const fs::path& source, const fs::path& destination,
                                              Overwrite overwrite,
                                              bool& destinationExists) const {
    struct stat target {};
    destinationExists = ::lstat(destination.c_str(), &target) == 0;
    if (!destinationExists) {
        return errno == ENOENT ? TransferResult::Success()
                               : DestinationFailure(destination, errno, true);
    }
    if (NamesOneFile(source, destination)) {
        return {TransferStatus::SameFile, 0};
    }
    if (overwrite != Overwrite::Confirmed) {
        return {TransferStatus::Exists, EEXIST};
    }
    if (S_ISDIR(target.st_mode)) {
        return {TransferStatus::Other, EISDIR};
    }
    // A file without any write permission bit is one its owner protected; root is no exception.
    if (!S_ISLNK(target.st_mode) && (target.st_mode & kAnyWriteBit) == 0) {
        return {TransferStatus::Permission, EACCES};
    }
    return TransferResult::Success();
}

TransferResult FileTransfer::CopyOpenFile(int in, const struct stat& status,
                                          const fs::path& destination,
                                          Overwrite overwrite) const {
    fs::path temporary;
    const int out = CreateTemporary(FolderOf(destination), temporary);
    if (out < 0) {
        return DestinationFailure(temporary, errno, false);
    }
    int error = CopyContent(in, out, std::uint64_t(status.st_size));
    if (error == 0) {
        error = FinishCopy(out, status);
    }
    if (calls_.close(out) != 0 && error == 0) {
        error = errno;
    }
    TransferResult result = Failure(error);
    if (error == 0) {
        result = Place(temporary, destination, overwrite);
    }
    if (!result.Succeeded()) {
        calls_.unlink(temporary.c_str());
    }
    return result;
}

TransferResult FileTransfer::MoveAcrossDevices(const fs::path& source,
                                               const fs::path& destination,
                                               Overwrite overwrite) const {
    // Copying first and then finding that the source cannot go would leave two files.
    if (calls_.access(FolderOf(source).c_str(), W_OK) != 0) {
        return SourceFailure(source, errno);
    }
    const TransferResult copied = CopyUnsynced(source, destination, overwrite);
    if (!copied.Succeeded()) {
        return copied;
    }
    // The new name must be on the disk before the old one goes, or a crash could lose both.
    int error = SyncFolder(FolderOf(destination));
    if (CannotSyncFolders(error)) {
        error = 0;
    }
    if (error == 0 && beforeRemovingSource_ && !beforeRemovingSource_()) {
        error = EIO;
    }
    if (error == 0 && calls_.unlink(source.c_str()) != 0) {
        error = errno;
    }
    if (error == 0) {
        return TransferResult::Success();
    }
    if (!replaced_) {
        calls_.unlink(destination.c_str());
    }
    return SourceFailure(source, error);
}

int FileTransfer::CreateTemporary(const fs::path& folder, fs::path& temporary) const {
    if (temporaryName_) {
        temporary = folder / *temporaryName_;
        return calls_.open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    }
    for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
        temporary = folder / TemporaryName();
        const int fd =
            calls_.open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

int FileTransfer::CopyContent(int in, int out, std::uint64_t total) const {
    std::uint64_t done = 0;
    std::uint64_t reported = 0;
    int error = SendWithinKernel(in, out, done, total, reported);
    // Where the kernel cannot copy between these two files, a plain read and write loop can.
    if (done == 0 && (error == EINVAL || error == ENOSYS)) {
        error = CopyThroughBuffer(in, out, done, total, reported);
    }
    if (error == 0 && progress_) {
        progress_(done, total);
    }
    return error;
}

int FileTransfer::SendWithinKernel(int in, int out, std::uint64_t& done, std::uint64_t total,
                                   std::uint64_t& reported) const {
    for (;;) {
        if (Cancelled()) {
            return ECANCELED;
        }
        const ssize_t sent = calls_.sendfile(out, in, kSendBlock);
        if (sent < 0 && errno == EINTR) {
            continue;
        }
        if (sent <= 0) {
            return sent == 0 ? 0 : errno;
        }
        done += std::uint64_t(sent);
        ReportProgress(done, total, reported);
    }
}

int FileTransfer::CopyThroughBuffer(int in, int out, std::uint64_t& done, std::uint64_t total,
                                    std::uint64_t& reported) const {
    std::vector<char> buffer(kBufferSize);
    for (;;) {
        if (Cancelled()) {
            return ECANCELED;
        }
        const ssize_t got = calls_.read(in, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return got == 0 ? 0 : errno;
        }
        if (const int error = WriteAllBytes(calls_, out, buffer.data(), std::size_t(got));
            error != 0) {
            return error;
        }
        done += std::uint64_t(got);
        ReportProgress(done, total, reported);
    }
}

void FileTransfer::ReportProgress(std::uint64_t done, std::uint64_t total,
                                  std::uint64_t& reported) const {
    if (progress_ && done - reported >= kProgressStep) {
        progress_(done, total);
        reported = done;
    }
}

int FileTransfer::FinishCopy(int out, const struct stat& status) const {
    // Mode and times are kept where the destination keeps them, as cp does: FAT, FUSE and shares
    // mounted for another user refuse them, which makes the copy no less whole. Its content
    // must reach the disk, though.
    calls_.fchmod(out, copyMode_.value_or(status.st_mode) & kPermissionBits);
    const struct timespec times[2] = {status.st_atim, status.st_mtim};
    calls_.futimens(out, times);
    return calls_.fsync(out) == 0 ? 0 : errno;
}

TransferResult FileTransfer::Place(const fs::path& from, const fs::path& to,
                                   Overwrite overwrite) const {
    replaced_ = false;
    if (overwrite == Overwrite::Confirmed && beforeReplacing_) {
        const std::optional<Overwrite> now = beforeReplacing_(to);
        if (!now) {
            return {TransferStatus::NotRecorded, 0};
        }
        overwrite = *now;
    }
    if (overwrite != Overwrite::Confirmed) {
        return RenameWithoutReplacing(from, to);
    }
    const bool standing = NameExists(to);
    if (calls_.rename(from.c_str(), to.c_str()) != 0) {
        return RenameFailure(from, to, errno);
    }
    replaced_ = standing;
    return TransferResult::Success();
}

TransferResult FileTransfer::RenameWithoutReplacing(const fs::path& from,
                                                    const fs::path& to) const {
    if (calls_.renameNoReplace(from.c_str(), to.c_str()) == 0) {
        return TransferResult::Success();
    }
    // EINVAL here may also mean a name the file system refuses; the claim below tells.
    if (!FlagUnknown(errno)) {
        return RenameFailure(from, to, errno);
    }
    if (LinkThenUnlink(from.c_str(), to.c_str()) == 0) {
        return TransferResult::Success();
    }
    if (!LinksUnknown(errno)) {
        return RenameFailure(from, to, errno);
    }
    return RenameOverClaim(from, to);
}

int FileTransfer::LinkThenUnlink(const char* from, const char* to) const {
    if (calls_.link(from, to) != 0) {
        return -1;
    }
    if (calls_.unlink(from) == 0) {
        return 0;
    }
    const int error = errno;
    calls_.unlink(to); // the name we just made; the file keeps its old one
    errno = error;
    return -1;
}

// File systems without either call (FAT, exFAT and most FUSE ones) still create files
// exclusively: the name is claimed with an empty file of our own, which fails when anything
// stands there (in any case of letters, where case is ignored) or when the file system refuses
// the name, and only then is the file renamed over that claim. So nothing is ever looked at
// and then replaced, and the rename is never tried with a name the disk refuses (fusefat
// loses the file it renames to such a name).
TransferResult FileTransfer::RenameOverClaim(const fs::path& from, const fs::path& to) const {
    if (beforeClaiming_ && !beforeClaiming_()) {
        return {TransferStatus::NotRecorded, 0};
    }
    const bool wasFree = !NameExists(to);
    const int claim =
        calls_.open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (claim < 0) {
        const int error = errno;
        if (error == EEXIST) {
            return {TransferStatus::Exists, EEXIST};
        }
        if (wasFree) {
            RemoveFailedClaim(to);
        }
        return DestinationFailure(to, error, true);
    }
    struct stat claimed {};
    const bool known = ::fstat(claim, &claimed) == 0;
    calls_.close(claim);
    if (calls_.rename(from.c_str(), to.c_str()) == 0) {
        return TransferResult::Success();
    }
    const int error = errno;
    struct stat now {};
    if (known && ::lstat(to.c_str(), &now) == 0 && SameIdentity(now, claimed)) {
        calls_.unlink(to.c_str());
    }
    return RenameFailure(from, to, error);
}

// fusefat answers some exclusive creates (once a folder holds a few dozen entries) with ENOENT
// while it makes the entry all the same. Nothing stood at the name before, so an empty file there
// now is the claim that failed, and it goes before the next file is tried, or every failure
// would leave one behind.
void FileTransfer::RemoveFailedClaim(const fs::path& to) const {
    struct stat status {};
    if (::lstat(to.c_str(), &status) == 0 && S_ISREG(status.st_mode) && status.st_size == 0) {
        calls_.unlink(to.c_str());
    }
}

// Which end of a failed rename is to blame: the source (gone, or its folder protected), or the
// destination (its folder gone or read-only, or a name its file system refuses).
TransferResult FileTransfer::RenameFailure(const fs::path& from, const fs::path& to,
                                           int error) const {
    switch (error) {
    case ENOENT:
        if (!NameExists(from)) {
            return {TransferStatus::VanishedSource, error};
        }
        return DestinationFailure(to, error, true);
    case EACCES:
    case EPERM:
    case EROFS:
        if (calls_.access(FolderOf(to).c_str(), W_OK) != 0) {
            return {TransferStatus::DestinationReadOnly, error};
        }
        return Failure(error);
    case ENOTDIR:
    case EINVAL:
    case EILSEQ:
    case ENAMETOOLONG:
        return DestinationFailure(to, error, true);
    default:
        return Failure(error);
    }
}

int FileTransfer::SyncFolder(const fs::path& folder) const {
    return FlushFolder(folder, calls_);
}

} // namespace pirela
