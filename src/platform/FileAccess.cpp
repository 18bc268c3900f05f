#include "platform/FileAccess.h"

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace pirela {

namespace fs = std::filesystem;

namespace {

constexpr mode_t kAnyWriteBit = S_IWUSR | S_IWGRP | S_IWOTH;

bool HasWritePermission(const fs::path& path, bool wantFolder) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return false;
    }
    if (S_ISDIR(status.st_mode) != wantFolder) {
        return false;
    }
    return (status.st_mode & kAnyWriteBit) != 0 && ::access(path.c_str(), W_OK) == 0;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

fs::path ResolveLinks(const fs::path& file) {
    std::error_code error;
    if (fs::is_symlink(fs::symlink_status(file, error))) {
        const fs::path target = fs::weakly_canonical(file, error);
        if (!error) {
            return target;
        }
    }
    return file;
}

mode_t ModeForNewFile(const fs::path& existing) {
    struct stat status {};
    if (::stat(existing.c_str(), &status) == 0) {
        return status.st_mode & 07777;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

bool IsWritableFile(const fs::path& file) {
    return HasWritePermission(file, false);
}

bool IsWritableFolder(const fs::path& folder) {
    return HasWritePermission(folder, true);
}

bool IsEnterableFolder(const fs::path& folder) {
    struct stat status {};
    return ::stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode) &&
           ::access(folder.c_str(), X_OK) == 0;
}

bool NameExists(const fs::path& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0;
}

std::optional<std::string> ReadWholeFile(const fs::path& file, std::size_t maxBytes) {
    std::error_code error;
    const auto size = fs::file_size(file, error);
    if (error || size > maxBytes) {
        return std::nullopt;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(size), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (in.gcount() != static_cast<std::streamsize>(bytes.size())) {
        return std::nullopt;
    }
    return bytes;
}

bool WriteFileAtomically(const fs::path& file, std::string_view bytes) {
    const fs::path target = ResolveLinks(file);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::error_code error;
    if (fs::exists(target, error) && !IsWritableFile(target)) {
        return false;
    }
    if (!IsWritableFolder(folder)) {
        return false;
    }
    std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        return false;
    }
    const bool written = ::fchmod(fd, ModeForNewFile(target)) == 0 && WriteAll(fd, bytes) &&
                         ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace pirela
