#include "platform/FileTransfer.h"

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

// A source that is gone is told apart from other failures, since the user can do nothing
// about it but look again.
TransferResult SourceFailure(const fs::path& source, int error) {
    struct stat status {};
    if (error == ENOENT && ::lstat(source.c_str(), &status) != 0) {
        return {TransferStatus::VanishedSource, error};
    }
    return TransferResult::FromError(error);
}

TransferResult Failure(int error) {
    return TransferResult::FromError(error);
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
    if (calls_.statvfs(folder.c_str(), &facts) != 0) {
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
    const int in = calls_.open(source.c_str(), O_RDONLY | O_CLOEXEC, 0);
    if (in < 0) {
        return SourceFailure(source, errno);
    }
    struct stat status {};
    bool destinationExists = false;
    TransferResult result{TransferStatus::Other, EISDIR};
    if (::fstat(in, &status) == 0 && S_ISREG(status.st_mode)) {
        result = CheckDestination(source, destination, overwrite, destinationExists);
    }
    if (result.Succeeded()) {
        result = CopyOpenFile(in, status, destination, overwrite);
    }
    calls_.close(in); // only read: closing it cannot lose anything
    return result;
}

TransferResult FileTransfer::Move(const fs::path& source, const fs::path& destination,
                                  Overwrite overwrite) const {
    struct stat status {};
    if (::lstat(source.c_str(), &status) != 0) {
        return SourceFailure(source, errno);
    }
    bool destinationExists = false;
    const TransferResult check =
        CheckDestination(source, destination, overwrite, destinationExists);
    if (!check.Succeeded()) {
        return check;
    }
    if (Place(source, destination, overwrite) == 0) {
        return TransferResult::Success();
    }
    if (errno != EXDEV) {
        return SourceFailure(source, errno);
    }
    return MoveAcrossDevices(source, destination, overwrite, destinationExists);
}

TransferResult FileTransfer::CheckDestination(const fs::path& source, const fs::path& destination,
                                              Overwrite overwrite,
                                              bool& destinationExists) const {
    struct stat target {};
    destinationExists = ::lstat(destination.c_str(), &target) == 0;
    if (!destinationExists) {
        return errno == ENOENT ? TransferResult::Success() : Failure(errno);
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
        return Failure(errno);
    }
    int error = CopyContent(in, out, std::uint64_t(status.st_size));
    if (error == 0) {
        error = FinishCopy(out, status);
    }
    if (calls_.close(out) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && Place(temporary, destination, overwrite) != 0) {
        error = errno;
    }
    if (error != 0) {
        calls_.unlink(temporary.c_str());
        return Failure(error);
    }
    return TransferResult::Success();
}

TransferResult FileTransfer::MoveAcrossDevices(const fs::path& source,
                                               const fs::path& destination, Overwrite overwrite,
                                               bool destinationExisted) const {
    // Copying first and then finding that the source cannot go would leave two files.
    if (calls_.access(FolderOf(source).c_str(), W_OK) != 0) {
        return Failure(errno);
    }
    const TransferResult copied = Copy(source, destination, overwrite);
    if (!copied.Succeeded()) {
        return copied;
    }
    // The new name must be on the disk before the old one goes, or a crash could lose both.
    int error = SyncFolder(FolderOf(destination));
    if (error == 0 && calls_.unlink(source.c_str()) != 0) {
        error = errno;
    }
    if (error == 0) {
        return TransferResult::Success();
    }
    if (!destinationExisted) {
        calls_.unlink(destination.c_str());
    }
    return SourceFailure(source, error);
}

int FileTransfer::CreateTemporary(const fs::path& folder, fs::path& temporary) const {
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
        const ssize_t sent = calls_.sendfile(out, in, kProgressStep);
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
        const ssize_t got = calls_.read(in, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return got == 0 ? 0 : errno;
        }
        if (const int error = WriteAll(out, buffer.data(), std::size_t(got)); error != 0) {
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

int FileTransfer::WriteAll(int fd, const char* bytes, std::size_t size) const {
    while (size > 0) {
        const ssize_t written = calls_.write(fd, bytes, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0) {
            return errno;
        }
        if (written == 0) {
            return EIO; // no progress: never spin
        }
        bytes += written;
        size -= std::size_t(written);
    }
    return 0;
}

int FileTransfer::FinishCopy(int out, const struct stat& status) const {
    const struct timespec times[2] = {status.st_atim, status.st_mtim};
    if (calls_.fchmod(out, status.st_mode & kPermissionBits) != 0 ||
        calls_.futimens(out, times) != 0 || calls_.fsync(out) != 0) {
        return errno;
    }
    return 0;
}

int FileTransfer::Place(const fs::path& from, const fs::path& to, Overwrite overwrite) const {
    if (overwrite == Overwrite::Confirmed) {
        return calls_.rename(from.c_str(), to.c_str());
    }
    return RenameWithoutReplacing(from.c_str(), to.c_str());
}

int FileTransfer::RenameWithoutReplacing(const char* from, const char* to) const {
    if (calls_.renameNoReplace(from, to) == 0) {
        return 0;
    }
    // Some network and FUSE file systems do not know the flag.
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
        return -1;
    }
    if (LinkThenUnlink(from, to) == 0) {
        return 0;
    }
    // File systems without hard links (vfat) leave only a look before the rename: a file
    // appearing between the two would be replaced. No call closes that gap there.
    if (errno != EPERM && errno != ENOTSUP) {
        return -1;
    }
    struct stat status {};
    if (::lstat(to, &status) == 0) {
        errno = EEXIST;
        return -1;
    }
    return calls_.rename(from, to);
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

int FileTransfer::SyncFolder(const fs::path& folder) const {
    const int fd = calls_.open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (fd < 0) {
        return errno;
    }
    const int error = calls_.fsync(fd) == 0 ? 0 : errno;
    calls_.close(fd);
    return error;
}

} // namespace pirela
