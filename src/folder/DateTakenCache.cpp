#include "folder/DateTakenCache.h"

#include "folder/DateTaken.h"
#include "platform/RegularFile.h"

#include <sys/stat.h>
#include <unistd.h>

namespace pirela {

std::size_t DateTakenCache::Hash::operator()(const Key& key) const {
    std::size_t hash = std::hash<std::uint64_t>()(key.inode);
    for (const std::int64_t part : {std::int64_t(key.device), key.size, key.modifiedSeconds,
                                    key.modifiedNanoseconds}) {
        hash = hash * 1'000'003 ^ std::hash<std::int64_t>()(part);
    }
    return hash;
}

DateTakenCache::Key DateTakenCache::KeyOf(const FileIdentity& file) {
    return {file.device, file.inode, file.size, file.modifiedSeconds, file.modifiedNanoseconds};
}

std::optional<std::int64_t> DateTakenCache::Find(const FileIdentity& file) const {
    const std::lock_guard lock(mutex_);
    const auto found = dates_.find(KeyOf(file));
    return found == dates_.end() ? std::nullopt : std::optional<std::int64_t>(found->second);
}

void DateTakenCache::Store(const FileIdentity& file, std::int64_t seconds) {
    const std::lock_guard lock(mutex_);
    dates_[KeyOf(file)] = seconds;
}

std::size_t DateTakenCache::Size() const {
    const std::lock_guard lock(mutex_);
    return dates_.size();
}

std::optional<std::int64_t> DateTakenCache::DateOf(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    if (const auto known = Find(FileIdentity::FromStatus(status))) {
        return known;
    }
    const int fd = OpenRegularFile(path.c_str());
    if (fd < 0) {
        return std::nullopt;
    }
    // The identity of what was opened, which may have been put there since the look above.
    const bool known = ::fstat(fd, &status) == 0;
    const std::optional<std::int64_t> taken = known ? ReadDateTaken(fd) : std::nullopt;
    ::close(fd);
    if (!known) {
        return std::nullopt;
    }
    const std::int64_t seconds = taken.value_or(std::int64_t(status.st_mtime));
    Store(FileIdentity::FromStatus(status), seconds);
    return seconds;
}

} // namespace pirela
