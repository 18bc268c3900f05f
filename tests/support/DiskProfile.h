#pragma once

#include "common/AsciiText.h"
#include "platform/SystemCalls.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace pirela::test {

// FuseFat: FAT through fusefat, which after a few dozen entries answers an exclusive create with
// ENOENT while it makes the entry all the same.
enum class DiskKind { Ext4, Fat, Fuse, Cifs, FuseFat };

inline const char* NameOf(DiskKind kind) {
    switch (kind) {
    case DiskKind::Ext4:
        return "ext4";
    case DiskKind::Fat:
        return "FAT";
    case DiskKind::Fuse:
        return "FUSE";
    case DiskKind::Cifs:
        return "CIFS";
    case DiskKind::FuseFat:
        return "FUSE FAT";
    }
    return "?";
}

// The C library's calls as a kind of disk answers them, on whatever disk the test's folders
// really lie:
// - FAT and exFAT: names with \ : * ? " < > | refused (EINVAL), case ignored in names, no hard
//   links (EPERM), no flags for rename (EINVAL), no modes (EPERM), files of at most
//   largestFile bytes (EFBIG);
// - FUSE (as exFAT through FUSE): refused names answer ENOENT, link and the rename's flags
//   ENOSYS, and no block counts;
// - CIFS (a share mounted for another user): refused names EINVAL, no flags for rename
//   (EINVAL), no hard links (ENOTSUP), no modes (EPERM);
// - FUSE FAT (fusefat): as FUSE, but after createsBeforeLie exclusive creates of our long hidden
//   names (whose many directory slots fusefat cannot find once a folder fills) each one makes
//   the file and answers ENOENT.
// Every kind but ext4 says so to statfs (FAT's, FUSE's or CIFS's type number), so that the code
// treats its inode numbers as a foreign disk's.
class DiskProfile {
public:
    static constexpr long kFatType = 0x4d44;
    static constexpr long kFuseType = 0x65735546;
    static constexpr long kCifsType = 0xFF534D42;

    explicit DiskProfile(DiskKind kind, std::uint64_t largestFile = (std::uint64_t(4) << 30) - 1,
                         int createsBeforeLie = 15)
        : kind_(kind == DiskKind::FuseFat ? DiskKind::Fuse : kind), largestFile_(largestFile) {
        const SystemCalls& libc = SystemCalls::Libc();
        calls_ = libc;
        if (kind == DiskKind::Ext4) {
            return;
        }
        const long type = kind == DiskKind::Fat ? kFatType : kind == DiskKind::Cifs ? kCifsType : kFuseType;
        calls_.statfs = [type, real = libc.statfs](const char* path, struct statfs* facts) {
            const int result = real(path, facts);
            facts->f_type = type;
            return result;
        };
        const bool lies = kind == DiskKind::FuseFat;
        calls_.open = [this, lies, createsBeforeLie, real = libc.open](const char* path, int flags,
                                                                         mode_t mode) {
            if ((flags & O_CREAT) != 0) {
                if (const int error = RefusedName(path); error != 0) {
                    return Fail(error);
                }
                if ((flags & O_EXCL) != 0 && HasOtherCase(path)) {
                    return Fail(EEXIST);
                }
                if ((flags & O_EXCL) != 0 && lies && IsLongHiddenName(path) &&
                    creates_++ >= createsBeforeLie) {
                    const int made = real(path, flags, mode);
                    if (made >= 0) {
                        ::close(made);
                    }
                    return Fail(ENOENT);
                }
            }
            return real(path, flags, mode);
        };
        calls_.rename = [this, real = libc.rename](const char* from, const char* to) {
            if (const int error = RefusedName(to); error != 0) {
                return Fail(error);
            }
            // A name in another case is the same entry: it is replaced.
            if (const std::string other = OtherCase(to); !other.empty() && other != from) {
                ::unlink(other.c_str());
            }
            return real(from, to);
        };
        calls_.renameNoReplace = [this](const char*, const char*) {
            return Fail(kind_ == DiskKind::Fuse ? ENOSYS : EINVAL);
        };
        calls_.link = [this](const char*, const char*) {
            return Fail(kind_ == DiskKind::Fat    ? EPERM
                        : kind_ == DiskKind::Fuse ? ENOSYS
                                                  : ENOTSUP);
        };
        calls_.mkdir = [this, real = libc.mkdir](const char* path, mode_t mode) {
            if (const int error = RefusedName(path); error != 0) {
                return Fail(error);
            }
            return HasOtherCase(path) ? Fail(EEXIST) : real(path, mode);
        };
        if (kind != DiskKind::Fuse) {
            calls_.fchmod = [](int, mode_t) { return Fail(EPERM); };
        }
        if (kind == DiskKind::Fuse) {
            calls_.statvfs = [real = libc.statvfs](const char* path, struct statvfs* facts) {
                const int result = real(path, facts);
                facts->f_blocks = facts->f_bfree = facts->f_bavail = 0;
                return result;
            };
        }
        if (kind == DiskKind::Fat) {
            calls_.write = [this, real = libc.write](int fd, const void* bytes, std::size_t size) {
                const std::size_t room = Room(fd, size);
                return room == 0 ? ssize_t(Fail(EFBIG)) : real(fd, bytes, room);
            };
            calls_.sendfile = [this, real = libc.sendfile](int out, int in, std::size_t size) {
                const std::size_t room = Room(out, size);
                return room == 0 ? ssize_t(Fail(EFBIG)) : real(out, in, room);
            };
        }
    }
    DiskProfile(const DiskProfile&) = delete;
    DiskProfile& operator=(const DiskProfile&) = delete;

    const SystemCalls& Calls() const { return calls_; }

private:
    static int Fail(int error) {
        errno = error;
        return -1;
    }

    bool IgnoresCase() const { return kind_ == DiskKind::Fat || kind_ == DiskKind::Fuse; }

    int RefusedName(const char* path) const {
        const std::string name = std::filesystem::path(path).filename().string();
        if (name.find_first_of("\\:*?\"<>|") == std::string::npos) {
            return 0;
        }
        return kind_ == DiskKind::Fuse ? ENOENT : EINVAL;
    }

    // The entry of the folder that differs from the path's name only in ASCII case, if any.
    std::string OtherCase(const char* path) const {
        if (!IgnoresCase()) {
            return {};
        }
        const std::filesystem::path wanted(path);
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(wanted.parent_path(), error)) {
            const std::string name = entry.path().filename().string();
            if (name != wanted.filename().string() &&
                EqualsIgnoringAsciiCase(name, wanted.filename().string())) {
                return entry.path().string();
            }
        }
        return {};
    }

    bool HasOtherCase(const char* path) const { return !OtherCase(path).empty(); }

    static bool IsLongHiddenName(const char* path) {
        return std::filesystem::path(path).filename().string().starts_with(".pirela-");
    }


    std::size_t Room(int fd, std::size_t size) const {
        const off_t at = ::lseek(fd, 0, SEEK_CUR);
        const std::uint64_t left =
            at < 0 || std::uint64_t(at) >= largestFile_ ? 0 : largestFile_ - std::uint64_t(at);
        return std::size_t(std::min<std::uint64_t>(size, left));
    }

    DiskKind kind_;
    std::uint64_t largestFile_;
    int creates_ = 0;
    SystemCalls calls_;
};

} // namespace pirela::test
