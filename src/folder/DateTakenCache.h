#pragma once

#include "platform/FileIdentity.h"

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

namespace pirela {

// When each photo was taken, as read before, by the file's identity (device, inode, size and
// modification time): a file edited or put in another's place is read again, a file renamed or
// moved on its disk (which changes its change time) is not. Shared by the threads that read
// dates.
class DateTakenCache {
public:
    std::optional<std::int64_t> Find(const FileIdentity& file) const;
    void Store(const FileIdentity& file, std::int64_t seconds);
    std::size_t Size() const;

    // When the photo at the path was taken: from the cache, or read from the file (and kept):
    // its EXIF date, or its modification time when it records none. None when it cannot be read.
    std::optional<std::int64_t> DateOf(const std::string& path);

private:
    struct Key {
        std::uint64_t device;
        std::uint64_t inode;
        std::int64_t size;
        std::int64_t modifiedSeconds;
        std::int64_t modifiedNanoseconds;
        bool operator==(const Key&) const = default;
    };
    struct Hash {
        std::size_t operator()(const Key& key) const;
    };
    static Key KeyOf(const FileIdentity& file);

    mutable std::mutex mutex_;
    std::unordered_map<Key, std::int64_t, Hash> dates_;
};

} // namespace pirela
