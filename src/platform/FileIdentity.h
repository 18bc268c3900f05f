#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

namespace pirela {

// Which file stands at a path, and in what state: device and inode tell a file apart from one
// put in its place, size and modification time tell an edited file from the one we wrote.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;

    bool operator==(const FileIdentity&) const = default;

    // The identity of whatever stands at the path (a link as itself, never what it names), or
    // none when nothing does.
    static std::optional<FileIdentity> Of(const std::filesystem::path& path);
};

} // namespace pirela
