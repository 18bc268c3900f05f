#pragma once

#include "platform/FileIdentity.h"
#include "platform/SystemCalls.h"

#include <filesystem>
#include <optional>

namespace pirela {

// What a disk keeps of a file's identity from one mount to the next.
enum class DiskKind {
    // ext4, btrfs, xfs, tmpfs and the like: a file keeps its device and inode numbers for as long
    // as it lives, and its times to the nanosecond.
    Native,
    // FAT and exFAT (through the kernel or FUSE), any FUSE disk, network shares, and every disk
    // not known to be native: the numbers are handed out afresh at each mount (a card replugged
    // gets new ones, and an old number may be given to another file), and times are coarse. A
    // file there is known by its name, its size and its modification time.
    Foreign,
};

// The kind of the disk the path lies on; the nearest folder above that exists answers for a
// path that does not. Foreign when no folder answers.
DiskKind DiskKindOf(const std::filesystem::path& path,
                    const SystemCalls& calls = SystemCalls::Libc());

// Whether the file now at a name is the file recorded there earlier, changed or not, rather
// than another put in its place: its device and inode on a native disk; on a foreign one, where
// nothing else lasts, its size and modification time (so an edit there counts as another file,
// which keeps every doubt on the safe side). False when either is missing.
bool IsSameFileOn(DiskKind kind, const std::optional<FileIdentity>& recorded,
                  const std::optional<FileIdentity>& now);

// Whether the file now at a name is the file recorded, unchanged since: everything recorded on a
// native disk (the change time catches an edit that set the modification time back, and an
// inode number given again to a new file); on a foreign one its size and its modification time
// at the disk's resolution (FAT keeps two seconds).
bool IsUnchangedOn(DiskKind kind, const std::optional<FileIdentity>& recorded,
                   const std::optional<FileIdentity>& now);

} // namespace pirela
