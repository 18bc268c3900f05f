#pragma once

#include "folder/ImageFileList.h"
#include "platform/FileIdentity.h"

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pirela {

// When each photo was taken, as read before, by the file's identity (device, inode, size and
// modification time): a file edited or put in another's place is read again, a file renamed or
// moved on its disk (which changes its change time) is not. Each date is also remembered by the
// path it was last read at, so that a folder opened again is sorted by date at once, before any
// file is looked at; the look that follows confirms each by identity. Shared by the threads
// that read dates.
class DateTakenCache {
public:
    std::optional<std::int64_t> Find(const FileIdentity& file) const;
    void Store(const FileIdentity& file, const std::string& path, std::int64_t seconds);
    std::size_t Size() const;

    // The date last read at the path, without looking at the file: it may have changed since.
    std::optional<std::int64_t> Remembered(std::string_view path) const;
    // Gives every name of the list the date remembered for it (the list's folder and the name).
    void SetRemembered(ImageFileList& list) const;

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
    // By a hash of the path: two paths of one hash only cost a date that the look corrects. An
    // open table of pairs, looked up for every name of a folder as it is listed: one probe
    // mostly lands where the pair is.
    class Remembrance {
    public:
        void Set(std::uint64_t hash, std::int64_t seconds);
        const std::int64_t* Find(std::uint64_t hash) const;
        bool Empty() const { return used_ == 0; }

    private:
        struct Slot {
            std::uint64_t hash = 0; // 0: empty (a path hashing to 0 is kept as 1)
            std::int64_t seconds = 0;
        };
        std::vector<Slot> slots_;
        std::size_t used_ = 0;
    };
    Remembrance remembered_;
};

} // namespace pirela
