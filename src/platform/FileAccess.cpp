#include "platform/FileAccess.h"

#include "platform/RegularFile.h"
#include "platform/SystemCalls.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

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

constexpr std::size_t kCompareChunk = std::size_t(1) << 20;

// Fills the buffer unless the file ends first; the bytes read, or -1.
ssize_t ReadUpTo(int fd, std::vector<char>& buffer) {
    std::size_t done = 0;
    while (done < buffer.size()) {
        const ssize_t got = ::read(fd, buffer.data() + done, buffer.size() - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return -1;
        }
        if (got == 0) {
            break;
        }
        done += std::size_t(got);
    }
    return ssize_t(done);
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

std::optional<unsigned> PermissionBitsOf(const fs::path& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return status.st_mode & 07777;
}

bool HaveSameContent(const fs::path& first, const fs::path& second) {
    const int a = OpenRegularFile(first.c_str());
    const int b = OpenRegularFile(second.c_str());
    std::vector<char> bufferA(kCompareChunk);
    std::vector<char> bufferB(kCompareChunk);
    bool same = a >= 0 && b >= 0;
    for (ssize_t got = 1; same && got > 0;) {
        got = ReadUpTo(a, bufferA);
        same = got >= 0 && ReadUpTo(b, bufferB) == got &&
               std::equal(bufferA.begin(), bufferA.begin() + got, bufferB.begin());
    }
    for (const int fd : {a, b}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    return same;
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
    const bool written = ::fchmod(fd, ModeForNewFile(target)) == 0 &&
                         WriteAllBytes(SystemCalls::Libc(), fd, bytes.data(), bytes.size()) == 0 &&
                         ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace pirela
