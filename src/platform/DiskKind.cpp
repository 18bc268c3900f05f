#include "platform/DiskKind.h"

#include <cstdint>
#include <cstdlib>
#include <sys/vfs.h>

namespace pirela {

namespace {

// The type numbers of the file systems whose inode numbers outlive a mount (linux/magic.h).
constexpr std::uint32_t kNativeTypes[] = {
    0xEF53,     // ext2, ext3, ext4
    0x9123683E, // btrfs
    0x58465342, // xfs
    0x01021994, // tmpfs
    0xF2F52010, // f2fs
    0x2FC12FC1, // zfs
    0xCA451A4E, // bcachefs
    0x52654973, // reiserfs
    0x3153464A, // jfs
};

// FAT keeps modification times to two seconds; exFAT to a hundredth, but a disk read through
// FUSE may round either way.
constexpr std::int64_t kForeignTimeResolution = 2'000'000'000;

std::int64_t Nanoseconds(std::int64_t seconds, std::int64_t nanoseconds) {
    return seconds * 1'000'000'000 + nanoseconds;
}

bool SameModificationTime(DiskKind kind, const FileIdentity& a, const FileIdentity& b) {
    const std::int64_t difference = Nanoseconds(a.modifiedSeconds, a.modifiedNanoseconds) -
                                    Nanoseconds(b.modifiedSeconds, b.modifiedNanoseconds);
    return kind == DiskKind::Native ? difference == 0
                                    : std::llabs(difference) < kForeignTimeResolution;
}

} // namespace

DiskKind DiskKindOf(const std::filesystem::path& path, const SystemCalls& calls) {
    for (std::filesystem::path at = path;; at = at.parent_path()) {
        const std::filesystem::path asked = at.empty() ? std::filesystem::path(".") : at;
        struct statfs facts {};
        if (calls.statfs(asked.c_str(), &facts) == 0) {
            const auto type = static_cast<std::uint32_t>(facts.f_type);
            for (const std::uint32_t native : kNativeTypes) {
                if (type == native) {
                    return DiskKind::Native;
                }
            }
            return DiskKind::Foreign;
        }
        if (at.empty() || at == at.parent_path()) {
            return DiskKind::Foreign;
        }
    }
}

bool IsSameFileOn(DiskKind kind, const std::optional<FileIdentity>& recorded,
                  const std::optional<FileIdentity>& now) {
    if (kind == DiskKind::Native) {
        return SameFile(recorded, now);
    }
    return recorded && now && recorded->size == now->size &&
           SameModificationTime(kind, *recorded, *now);
}

bool IsUnchangedOn(DiskKind kind, const std::optional<FileIdentity>& recorded,
                   const std::optional<FileIdentity>& now) {
    if (kind == DiskKind::Native) {
        return recorded && now && *recorded == *now;
    }
    return IsSameFileOn(kind, recorded, now);
}

} // namespace pirela
