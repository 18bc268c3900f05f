#pragma once

#include <string>

namespace pirela {

// Which names the disk holding a folder takes: those of POSIX disks (any byte but "/" and NUL),
// or those of Windows' disks (FAT, exFAT, NTFS, shares), which refuse \ / : * ? " < > | too.
enum class NameRules { Posix, Windows };

// The rules of the disk that holds the folder, from the kind of its file system: by the
// kernel's own type, or for a disk served through FUSE by the type its mount names ("fuseblk"
// serves exFAT and NTFS sticks). POSIX when the folder cannot be looked at: the disk then
// refuses whatever it refuses, and the send says so.
NameRules NameRulesOf(const std::string& folder);

// The rules for a mount's type as /proc/self/mountinfo names it ("vfat", "fuseblk",
// "fuse.sshfs").
NameRules NameRulesOfMountType(const std::string& type);

} // namespace pirela
