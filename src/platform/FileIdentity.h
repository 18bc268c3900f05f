#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

struct stat;

namespace pirela {

// Which file stands at a path, and in what state: device and inode tell a file apart from one
// put in its place; size and modification time tell an edited file from the one we wrote, and
// the change time catches what those two miss (an edit in place that kept the size and set the
// modification time back, a new mode), since no writer can set it back.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;
    std::int64_t changedSeconds = 0;
    std::int64_t changedNanoseconds = 0;

    bool operator==(const FileIdentity&) const = default;

    // The identity of whatever stands at the path (a link as itself, never what it names), or
    // none when nothing does.
    static std::optional<FileIdentity> Of(const std::filesystem::path& path);
    static FileIdentity FromStatus(const struct stat& status);
};

// Whether both are known and are the one file (device and inode), whatever changed in it.
inline bool SameFile(const std::optional<FileIdentity>& a, const std::optional<FileIdentity>& b) {
    return a && b && a->device == b->device && a->inode == b->inode;
}

} // namespace pirela
