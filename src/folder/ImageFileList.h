#pragma once

#include "folder/ListOrder.h"

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace pirela {

// The image files of the open folder, sorted, and which of them is current. Names are plain
// file names, or paths relative to the folder ("sub/deeper/a.jpg") when subfolders are
// searched. A folder of a phone's whole camera roll must fit: the names lie one after another
// in one block of bytes, and each entry costs two 32-bit numbers besides its name, so 100,000
// names take a few megabytes and no name is a separate allocation.
class ImageFileList {
public:
    // The most names a list holds; a folder with more is listed that far.
    static constexpr int kCapacity = 1'000'000;

    // An entry keeps its identity through sorts and removals, until the list is cleared: a
    // re-sort finds the current image again by it, and dates read on workers come back by it.
    using EntryId = std::uint32_t;
    // The taken time of an entry whose time is not known (yet): after every known one.
    static constexpr std::int64_t kUnknownTime = std::numeric_limits<std::int64_t>::max();

    const std::string& Folder() const { return folder_; }
    void SetFolder(std::string folder) {
        folder_ = std::move(folder);
        unlistedName_.clear();
    }

    int Count() const { return static_cast<int>(order_.size()); }
    // The name at index, or empty past the last one. It stays valid while no name is added
    // and the list is not cleared, whatever is sorted or removed meanwhile.
    std::string_view Name(int index) const;
    // Every name in list order, as copies (for small lists and tests).
    std::vector<std::string> Names() const;

    int Current() const { return current_; }
    void SetCurrent(int current) {
        current_ = current;
        unlistedName_.clear();
    }
    // Makes current a file of the folder that the list does not hold (a hidden file opened
    // directly, one gone since the scan, or one whose folder is still being listed): the index
    // is -1, but the current name is its own.
    void SetCurrentUnlisted(std::string name) {
        current_ = -1;
        unlistedName_ = std::move(name);
    }
    std::string_view CurrentName() const {
        return current_ == -1 && !unlistedName_.empty() ? std::string_view(unlistedName_)
                                                         : Name(current_);
    }
    // A current image exists when a folder is open and the current name is not empty.
    bool HasCurrentImage() const { return !folder_.empty() && !CurrentName().empty(); }
    std::string CurrentImagePath() const;
    // The path of the listed name at index.
    std::string ImagePath(int index) const;

    // False, changing nothing, when the list is full. The name is prefix + name, so that a
    // scan of subfolders never builds each relative path apart.
    bool AddFileName(std::string_view name, std::string_view prefix = {});
    // Takes the name out; the names after it move up. The current index is not touched.
    void RemoveFileName(int index);
    void ClearFileList();
    // The index of the name, or -1. An exact match wins; otherwise the first name equal
    // without ASCII case (a case-sensitive file system may hold both "A.jpg" and "a.jpg").
    int FindFileName(std::string_view name) const;

    EntryId IdAt(int index) const { return order_[static_cast<std::size_t>(index)]; }
    // The index of the entry, or -1 when it has left the list.
    int IndexOf(EntryId id) const;
    // The name of an entry, by its identity.
    std::string_view NameOf(EntryId id) const;

    // When the entry's photo was taken (seconds since 1970, UTC), for the date-taken order.
    void SetTakenTime(EntryId id, std::int64_t seconds);
    std::int64_t TakenTime(EntryId id) const;

    // Sorts the names in the order; the current index stays as it is. The name order:
    // without ASCII case, and where two paths part, a file of that level before anything
    // deeper; names equal but for case keep a fixed (byte) order. The date-taken order puts
    // the entries whose time is not known last, in name order.
    void Sort(ListOrder order);
    void SortFileList() { Sort(ListOrder::Name); }

    // Gives back the room reserved for names not added (a scan's list, once it is complete).
    void ShrinkToFit();
    // The bytes the names and entries take, reserve included.
    std::size_t MemoryBytes() const;

private:
    // Sorts by a number for each entry, and by the order's full comparison where two are equal.
    template <class KeyOf, class Less>
    void SortByKey(KeyOf keyOf, Less less);
    // Sorts in the name or the natural order: by the names' first bytes, or where the names lie
    // in several folders, by their folders' ranks and their file names' first bytes.
    void SortByName(bool natural);
    // By identity, the rank of each listed name's folder in the order; empty when all the names
    // lie in one folder.
    std::vector<std::uint32_t> FolderRanks(bool natural) const;

    std::string folder_;
    // Every name ever added since the list was cleared, each followed by a NUL, in the order
    // added; an entry's identity is its place in that order.
    std::string bytes_;
    std::vector<std::uint32_t> starts_; // by identity: where its name begins in bytes_
    std::vector<EntryId> order_;        // the list: identities in list order
    std::vector<std::int64_t> taken_;   // by identity, once any time is set
    int current_ = 0;
    std::string unlistedName_;
};

} // namespace pirela
