#include "platform/DiskNames.h"

#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>

#include <array>
#include <fstream>
#include <sstream>
#include <string_view>

namespace pirela {

namespace {

// The kernel's magic numbers of the file systems that take Windows' names.
constexpr std::array<unsigned long, 6> kWindowsFileSystems{
    0x4d44,     // vfat, msdos
    0x2011BAB0, // exfat
    0x5346544e, // ntfs
    0x7366746e, // ntfs3
    0xFF534D42, // cifs
    0xFE534D42, // smb2, smb3
};
constexpr unsigned long kFuse = 0x65735546;

// The type of the mount whose device is the folder's, from the process's mount table.
std::string FuseMountType(dev_t device) {
    std::ifstream table("/proc/self/mountinfo");
    const std::string wanted = std::to_string(major(device)) + ":" + std::to_string(minor(device));
    std::string line;
    while (std::getline(table, line)) {
        // id parent major:minor root mount-point options [optional fields...] - type source ...
        std::istringstream fields(line);
        std::string id, parent, numbers;
        fields >> id >> parent >> numbers;
        if (numbers != wanted) {
            continue;
        }
        const std::size_t separator = line.find(" - ");
        if (separator == std::string::npos) {
            return {};
        }
        std::istringstream rest(line.substr(separator + 3));
        std::string type;
        rest >> type;
        return type;
    }
    return {};
}

} // namespace

NameRules NameRulesOfMountType(const std::string& type) {
    // "vfat", "exfat", "fusefat", "ntfs3", "smb3" ...
    constexpr std::string_view kWindowsKinds[] = {"fat", "msdos", "ntfs", "cifs", "smb"};
    // "fuseblk" is FUSE on a block device: an exFAT or NTFS stick. "fuse.<driver>" names its
    // driver, whose name says which kind it serves.
    std::string_view kind = type;
    if (kind.starts_with("fuseblk")) {
        return NameRules::Windows;
    }
    if (kind.starts_with("fuse.")) {
        kind.remove_prefix(5);
    }
    for (const std::string_view windows : kWindowsKinds) {
        if (kind.find(windows) != std::string_view::npos) {
            return NameRules::Windows;
        }
    }
    return NameRules::Posix;
}

NameRules NameRulesOf(const std::string& folder) {
    struct statfs disk {};
    if (::statfs(folder.c_str(), &disk) != 0) {
        return NameRules::Posix;
    }
    const auto type = static_cast<unsigned long>(disk.f_type);
    for (const unsigned long windows : kWindowsFileSystems) {
        if (type == windows) {
            return NameRules::Windows;
        }
    }
    struct stat status {};
    if (type != kFuse || ::stat(folder.c_str(), &status) != 0) {
        return NameRules::Posix;
    }
    return NameRulesOfMountType(FuseMountType(status.st_dev));
}

} // namespace pirela
