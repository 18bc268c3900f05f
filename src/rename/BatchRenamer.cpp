#include "rename/BatchRenamer.h"

#include "common/AsciiText.h"
#include "common/PathRules.h"
#include "image/ImageFormat.h"
#include "journal/FileOperation.h"
#include "journal/JournalRecord.h"
#include "platform/DirectoryReader.h"

#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <climits>
#include <unordered_set>

namespace pirela {

namespace {

std::string ParkingName(std::string_view tag, std::size_t index) {
    return TemporaryNameFor(tag, index);
}

// A name with "/" (from the prefix) would move files out of the folder ("../x", "sub/x"), and
// one with a NUL byte would be cut short by the system; neither can be a name in this folder.
bool IsNamePart(std::string_view name) {
    return !name.empty() && name.find('/') == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

// Which new names are free for the files of the set, from the folder's listing. A name is taken
// when the folder lists it; on a disk that ignores case it is also taken when the folder lists
// it in another spelling, unless that spelling is a file of the set, which is parked before
// the name is taken ("IMAGE_01.JPG" renumbered to "image_01.jpg"). Not knowing whether the disk
// ignores case, another spelling of a file outside the set counts as taken. The names are not
// looked up one by one: FUSE would remember the lookup of "image_01.jpg" as the file
// "IMAGE_01.JPG" for a while after that file was parked, and refuse the name.
class FreeNames {
public:
    FreeNames(const std::string& folder, const std::vector<std::string>& names) {
        const std::unordered_set<std::string_view> set(names.begin(), names.end());
        readable_ = ForEachDirectoryEntry(folder, [&](std::string_view name, EntryKind) {
            listed_.emplace(name);
            const auto [at, added] = onlyTheSet_.emplace(FoldAsciiCase(name), true);
            at->second = at->second && set.count(name) != 0;
        });
    }

    // For a name that is not a file of the set.
    bool IsFree(const std::string& name) const {
        if (!readable_ || listed_.count(name) != 0) {
            return false;
        }
        const auto spellings = onlyTheSet_.find(FoldAsciiCase(name));
        return spellings == onlyTheSet_.end() || spellings->second;
    }

private:
    bool readable_ = false;
    std::unordered_set<std::string> listed_;
    // Folded name -> whether every file listed under it is a file of the set.
    std::unordered_map<std::string, bool> onlyTheSet_;
};

} // namespace

std::string BatchRenamer::NewName(std::string_view oldName, std::string_view prefix,
                                  std::int64_t serial, int digits) {
    std::string number = std::to_string(serial);
    if (number.size() < std::size_t(digits)) {
        number.insert(0, std::size_t(digits) - number.size(), '0');
    }
    return std::string(prefix) + number + "." + FoldAsciiCase(ExtensionOf(oldName));
}

BatchRenameCounts BatchRenamer::Rename(const std::string& folder,
                                       const std::vector<std::string>& names,
                                       const std::string& prefix, int digits,
                                       std::int64_t start) const {
    std::vector<Entry> entries = Plan(folder, names, prefix, digits, start);
    return Rename(folder, entries, NewJournalOperationId());
}

BatchRenameCounts BatchRenamer::Rename(const std::string& folder, std::vector<Entry>& entries,
                                       std::string_view tag, bool allOrNothing) const {
    Park(folder, entries, tag);
    Number(folder, entries, tag);
    const bool someFailed = std::any_of(entries.begin(), entries.end(), [](const Entry& entry) {
        return entry.place != Place::New;
    });
    if (Cancelled() || (allOrNothing && someFailed)) {
        PutBack(folder, entries, tag);
    }
    SweepClaims(folder, entries, tag);
    BatchRenameCounts counts;
    for (const Entry& entry : entries) {
        ++(entry.place == Place::New ? counts.succeeded : counts.failed);
    }
    return counts;
}

std::vector<BatchRenamer::Entry> BatchRenamer::Plan(const std::string& folder,
                                                    const std::vector<std::string>& names,
                                                    const std::string& prefix, int digits,
                                                    std::int64_t start) const {
    std::vector<Entry> entries(names.size());
    for (std::size_t j = 0; j < names.size(); ++j) {
        entries[j].oldName = names[j];
        entries[j].newName = NewName(names[j], prefix, start + std::int64_t(j), digits);
    }
    Check(folder, entries);
    return entries;
}

void BatchRenamer::Check(const std::string& folder, std::vector<Entry>& entries) const {
    std::vector<std::string> names;
    for (const Entry& entry : entries) {
        names.push_back(entry.oldName);
    }
    const std::unordered_set<std::string_view> set(names.begin(), names.end());
    FreeNames freeNames(folder, names);
    for (Entry& entry : entries) {
        // A name of the set is free once its file is parked; any other name must be free now.
        entry.valid = IsNamePart(entry.newName) && entry.newName.size() <= NAME_MAX &&
                      (set.count(entry.newName) != 0 || freeNames.IsFree(entry.newName));
    }
}

void BatchRenamer::Park(const std::string& folder, std::vector<Entry>& entries,
                        std::string_view tag) const {
    for (std::size_t i = 0; i < entries.size() && !Cancelled(); ++i) {
        Entry& entry = entries[i];
        if (entry.valid && MoveName(folder, entry.oldName, ParkingName(tag, i))) {
            entry.place = Place::Parked;
        }
    }
}

void BatchRenamer::Number(const std::string& folder, std::vector<Entry>& entries,
                          std::string_view tag) const {
    Occupants placed;
    for (std::size_t i = 0; i < entries.size() && !Cancelled(); ++i) {
        Entry& entry = entries[i];
        if (entry.place != Place::Parked) {
            continue;
        }
        if (MoveName(folder, ParkingName(tag, i), entry.newName)) {
            entry.place = Place::New;
            placed.emplace(entry.newName, i);
        } else {
            RollBack(folder, entries, i, placed, tag);
        }
    }
}

void BatchRenamer::RollBack(const std::string& folder, std::vector<Entry>& entries,
                            std::size_t index, Occupants& placed, std::string_view tag) const {
    // The files of this run that stand on the old name of the one before them. Each name is
    // held by one file, so the chain never meets itself, and it cannot come back to index,
    // whose own new name is not taken.
    std::vector<std::size_t> chain;
    for (auto at = placed.find(entries[index].oldName); at != placed.end();
         at = placed.find(entries[chain.back()].oldName)) {
        chain.push_back(at->second);
    }
    for (auto link = chain.rbegin(); link != chain.rend(); ++link) {
        Entry& entry = entries[*link];
        if (!MoveName(folder, entry.newName, entry.oldName)) {
            return; // the files on the chain keep their new names; index stays parked
        }
        placed.erase(entry.newName);
        entry.place = Place::Old;
    }
    if (MoveName(folder, ParkingName(tag, index), entries[index].oldName)) {
        entries[index].place = Place::Old;
    }
}

void BatchRenamer::PutBack(const std::string& folder, std::vector<Entry>& entries,
                           std::string_view tag) const {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        Entry& entry = entries[i];
        if (entry.place == Place::New && MoveName(folder, entry.newName, ParkingName(tag, i))) {
            entry.place = Place::Parked;
        }
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        Entry& entry = entries[i];
        if (entry.place == Place::Parked && MoveName(folder, ParkingName(tag, i), entry.oldName)) {
            entry.place = Place::Old;
        }
    }
}

void BatchRenamer::Unhide(const std::string& folder, std::vector<Entry>& entries,
                          std::string_view tag) const {
    constexpr int kSpareNames = 100;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        Entry& entry = entries[i];
        const std::string parking = ParkingName(tag, i);
        if (entry.place != Place::Parked) {
            continue;
        }
        if (MoveName(folder, parking, entry.oldName)) {
            entry.place = Place::Old;
        } else if (MoveName(folder, parking, entry.newName)) {
            entry.place = Place::New;
        }
        const std::string_view extension = ExtensionOf(entry.oldName);
        const std::string_view stem = std::string_view(entry.oldName).substr(
            0, entry.oldName.size() - extension.size() - (extension.empty() ? 0 : 1));
        for (int n = 2; entry.place == Place::Parked && n <= kSpareNames; ++n) {
            std::string aside = std::string(stem) + " (" + std::to_string(n) + ")";
            aside += extension.empty() ? std::string() : "." + std::string(extension);
            if (MoveName(folder, parking, aside)) {
                entry.place = Place::Aside;
                entry.asideName = std::move(aside);
            }
        }
    }
}

namespace {
constexpr std::size_t kFatNameSlot = 13;
} // namespace

void BatchRenamer::SweepClaims(const std::string& folder, const std::vector<Entry>& entries,
                               std::string_view tag) const {
    const std::string first = ParkingName(tag, 0);
    const std::string_view ours = std::string_view(first).substr(0, first.size() - 1);
    std::vector<std::string> claims;
    ForEachDirectoryEntry(folder, [&](std::string_view name, EntryKind kind) {
        // fusefat may leave such a file under the first 13 characters of the name (one long-name
        // slot of a FAT folder).
        if (kind == EntryKind::RegularFile && name.size() >= kFatNameSlot && name.size() < ours.size() &&
            ours.starts_with(name)) {
            claims.emplace_back(name);
            return;
        }
        std::size_t index = 0;
        const std::string_view number = name.substr(std::min(ours.size(), name.size()));
        const auto [end, error] =
            std::from_chars(number.data(), number.data() + number.size(), index);
        if (kind != EntryKind::RegularFile || !name.starts_with(ours) || number.empty() ||
            error != std::errc() || end != number.data() + number.size()) {
            return;
        }
        if (index >= entries.size() || entries[index].place != Place::Parked) {
            claims.emplace_back(name);
        }
    });
    for (const std::string& name : claims) {
        const std::string path = JoinPath(folder, name);
        struct stat status {};
        if (::lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && status.st_size == 0) {
            transfer_.Remove(path);
        }
    }
}

bool BatchRenamer::MoveName(const std::string& folder, std::string_view from,
                            std::string_view to) const {
    return transfer_.Move(JoinPath(folder, from), JoinPath(folder, to), Overwrite::Refuse)
        .Succeeded();
}

} // namespace pirela
