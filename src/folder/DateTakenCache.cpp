#include "folder/DateTakenCache.h"

#include "common/PathRules.h"
#include "folder/DateTaken.h"
#include "platform/RegularFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <utility>

namespace pirela {

namespace {

std::uint64_t PathHash(std::string_view path) {
    const std::uint64_t hash = std::hash<std::string_view>()(path);
    return hash == 0 ? 1 : hash;
}

} // namespace

void DateTakenCache::Remembrance::Set(std::uint64_t hash, std::int64_t seconds) {
    if ((used_ + 1) * 2 > slots_.size()) {
        std::vector<Slot> old = std::exchange(slots_, std::vector<Slot>(std::max<std::size_t>(64, slots_.size() * 2)));
        used_ = 0;
        for (const Slot& slot : old) {
            if (slot.hash != 0) {
                Set(slot.hash, slot.seconds);
            }
        }
    }
    for (std::size_t i = hash & (slots_.size() - 1);; i = (i + 1) & (slots_.size() - 1)) {
        if (slots_[i].hash == 0 || slots_[i].hash == hash) {
            used_ += slots_[i].hash == 0 ? 1 : 0;
            slots_[i] = {hash, seconds};
            return;
        }
    }
}

const std::int64_t* DateTakenCache::Remembrance::Find(std::uint64_t hash) const {
    if (slots_.empty()) {
        return nullptr;
    }
    for (std::size_t i = hash & (slots_.size() - 1);; i = (i + 1) & (slots_.size() - 1)) {
        if (slots_[i].hash == hash) {
            return &slots_[i].seconds;
        }
        if (slots_[i].hash == 0) {
            return nullptr;
        }
    }
}

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

void DateTakenCache::Store(const FileIdentity& file, const std::string& path,
                           std::int64_t seconds) {
    const std::uint64_t where = PathHash(path);
    const std::lock_guard lock(mutex_);
    dates_[KeyOf(file)] = seconds;
    remembered_.Set(where, seconds);
}

void DateTakenCache::SetRemembered(ImageFileList& list) const {
    std::string path = JoinPath(list.Folder(), "");
    const std::size_t folder = path.size();
    const std::lock_guard lock(mutex_);
    if (remembered_.Empty()) {
        return;
    }
    for (int i = 0; i < list.Count(); ++i) {
        const ImageFileList::EntryId id = list.IdAt(i);
        path.resize(folder);
        path += list.NameOf(id);
        if (const std::int64_t* seconds = remembered_.Find(PathHash(path))) {
            list.SetTakenTime(id, *seconds);
        }
    }
}

std::optional<std::int64_t> DateTakenCache::Remembered(std::string_view path) const {
    const std::uint64_t where = PathHash(path);
    const std::lock_guard lock(mutex_);
    const std::int64_t* seconds = remembered_.Find(where);
    return seconds == nullptr ? std::nullopt : std::optional<std::int64_t>(*seconds);
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
        if (Remembered(path) != known) {
            Store(FileIdentity::FromStatus(status), path, *known); // renamed or moved here
        }
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
    Store(FileIdentity::FromStatus(status), path, seconds);
    return seconds;
}

} // namespace pirela
