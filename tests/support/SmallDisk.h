#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <sys/mount.h>

namespace pirela::test {

// The first user namespace maps every id onto itself. Only inside another one is a mount
// private to this program, so that nothing on the host is touched.
inline bool InOwnUserNamespace() {
    std::ifstream map("/proc/self/uid_map");
    long inside = -1;
    long outside = -1;
    long count = -1;
    map >> inside >> outside >> count;
    return !(inside == 0 && outside == 0 && count == 4294967295L);
}

// A small tmpfs over a folder (a disk of its own, full at 64 KiB, or read-only), taken away
// again before the folder is removed. Mounted only inside a user namespace of our own.
class SmallDisk {
public:
    explicit SmallDisk(const std::filesystem::path& folder, bool readOnly = false)
        : folder_(folder) {
        mounted_ = InOwnUserNamespace() && ::mount("tmpfs", folder.c_str(), "tmpfs",
                                                   readOnly ? MS_RDONLY : 0, "size=64k") == 0;
    }
    ~SmallDisk() {
        if (mounted_) {
            ::umount(folder_.c_str());
        }
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool Mounted() const { return mounted_; }

private:
    std::filesystem::path folder_;
    bool mounted_ = false;
};

} // namespace pirela::test
