#include "folder/ImageFileList.h"

#include "common/AsciiText.h"
#include "common/PathRules.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <unordered_map>

namespace pirela {

std::string_view ImageFileList::NameOf(EntryId id) const {
    const std::size_t start = starts_[id];
    const std::size_t end = id + 1 < starts_.size() ? starts_[id + 1] : bytes_.size();
    return std::string_view(bytes_).substr(start, end - start - 1); // without its NUL
}

std::string_view ImageFileList::Name(int index) const {
    return index >= 0 && index < Count() ? NameOf(IdAt(index)) : std::string_view();
}

std::vector<std::string> ImageFileList::Names() const {
    std::vector<std::string> names;
    names.reserve(order_.size());
    for (const EntryId id : order_) {
        names.emplace_back(NameOf(id));
    }
    return names;
}

std::string ImageFileList::CurrentImagePath() const {
    return JoinPath(folder_, CurrentName());
}

std::string ImageFileList::ImagePath(int index) const {
    return JoinPath(folder_, Name(index));
}

bool ImageFileList::AddFileName(std::string_view name, std::string_view prefix) {
    // Offsets are 32-bit: a million names of a few thousand bytes each would pass them.
    const std::size_t room = std::numeric_limits<std::uint32_t>::max() - bytes_.size();
    if (Count() >= kCapacity || prefix.size() + name.size() + 1 > room) {
        return false;
    }
    const auto id = static_cast<EntryId>(starts_.size());
    starts_.push_back(static_cast<std::uint32_t>(bytes_.size()));
    bytes_.append(prefix);
    bytes_.append(name);
    bytes_.push_back('\0');
    order_.push_back(id);
    if (!taken_.empty()) {
        taken_.push_back(kUnknownTime);
    }
    return true;
}

void ImageFileList::RemoveFileName(int index) {
    if (index >= 0 && index < Count()) {
        order_.erase(order_.begin() + index);
    }
}

void ImageFileList::ClearFileList() {
    bytes_.clear();
    starts_.clear();
    order_.clear();
    taken_.clear();
    current_ = 0;
    unlistedName_.clear();
}

int ImageFileList::FindFileName(std::string_view name) const {
    for (int i = 0; i < Count(); ++i) {
        if (Name(i) == name) {
            return i;
        }
    }
    for (int i = 0; i < Count(); ++i) {
        if (EqualsIgnoringAsciiCase(Name(i), name)) {
            return i;
        }
    }
    return -1;
}

int ImageFileList::IndexOf(EntryId id) const {
    const auto found = std::find(order_.begin(), order_.end(), id);
    return found == order_.end() ? -1 : static_cast<int>(found - order_.begin());
}

void ImageFileList::SetTakenTime(EntryId id, std::int64_t seconds) {
    if (id >= starts_.size()) {
        return;
    }
    if (taken_.empty()) {
        taken_.assign(starts_.size(), kUnknownTime);
    }
    taken_[id] = seconds;
}

std::int64_t ImageFileList::TakenTime(EntryId id) const {
    return id < taken_.size() ? taken_[id] : kUnknownTime;
}

template <class KeyOf, class Less>
void ImageFileList::SortByKey(KeyOf keyOf, Less less) {
    struct Keyed {
        OrderKey key;
        EntryId id;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(order_.size());
    for (const EntryId id : order_) {
        keyed.push_back({keyOf(id), id});
    }
    std::sort(keyed.begin(), keyed.end(), [&less](const Keyed& a, const Keyed& b) {
        return a.key != b.key ? a.key < b.key : less(a.id, b.id);
    });
    for (std::size_t i = 0; i < keyed.size(); ++i) {
        order_[i] = keyed[i].id;
    }
}

void ImageFileList::Sort(ListOrder order) {
    // std::sort, never a quicksort of our own: a folder already in order must not take
    // quadratic time. Most names differ in their first bytes, which the keys hold.
    switch (order) {
    case ListOrder::Name:
        SortByName(false);
        break;
    case ListOrder::Natural:
        SortByName(true);
        break;
    case ListOrder::DateTaken: {
        // By name, then by time keeping that order among photos of one second (a burst).
        SortByName(false);
        std::vector<std::pair<std::int64_t, EntryId>> timed;
        timed.reserve(order_.size());
        for (const EntryId id : order_) {
            timed.emplace_back(TakenTime(id), id);
        }
        std::stable_sort(timed.begin(), timed.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (std::size_t i = 0; i < timed.size(); ++i) {
            order_[i] = timed[i].second;
        }
        break;
    }
    }
}

void ImageFileList::SortByName(bool natural) {
    const auto less = [this, natural](EntryId a, EntryId b) {
        return natural ? NaturalNameLess(NameOf(a), NameOf(b)) : ListNameLess(NameOf(a), NameOf(b));
    };
    const std::vector<std::uint32_t> ranks = FolderRanks(natural);
    if (ranks.empty()) {
        SortByKey(
            [this, natural](EntryId id) {
                return natural ? NaturalOrderKey(NameOf(id)) : NameOrderKey(NameOf(id));
            },
            less);
        return;
    }
    SortByKey(
        [this, natural, &ranks](EntryId id) {
            return RankedOrderKey(ranks[id], FileNameOf(NameOf(id)), natural);
        },
        less);
}

// The orders list the files of a folder before its subfolders, and the subfolders by name, so
// that every name of one folder sorts with its folder's rank, then by its file name.
std::vector<std::uint32_t> ImageFileList::FolderRanks(bool natural) const {
    std::unordered_map<std::string_view, std::uint32_t> indexOf;
    std::vector<std::string_view> folders;
    std::vector<std::uint32_t> folderOf(starts_.size());
    for (const EntryId id : order_) {
        const std::string_view name = NameOf(id);
        const std::size_t end = name.rfind(kPathSeparator);
        const std::string_view folder = name.substr(0, end == std::string_view::npos ? 0 : end + 1);
        const auto [at, added] = indexOf.try_emplace(folder, std::uint32_t(folders.size()));
        if (added) {
            folders.push_back(folder);
        }
        folderOf[id] = at->second;
    }
    if (folders.size() <= 1) {
        return {};
    }
    const auto compare = [natural](std::string_view a, std::string_view b) {
        return natural ? CompareNaturalNames(a, b) : CompareListNames(a, b);
    };
    std::vector<std::uint32_t> sorted(folders.size());
    std::iota(sorted.begin(), sorted.end(), 0);
    std::sort(sorted.begin(), sorted.end(), [&](std::uint32_t a, std::uint32_t b) {
        const int order = compare(folders[a], folders[b]);
        return order != 0 ? order < 0 : folders[a] < folders[b];
    });
    // Folders the order holds equal ("A/" and "a/") share a rank: their files interleave.
    std::vector<std::uint32_t> rankOf(folders.size());
    std::uint32_t rank = 0;
    for (std::size_t i = 1; i < sorted.size(); ++i) {
        rank += compare(folders[sorted[i - 1]], folders[sorted[i]]) != 0 ? 1 : 0;
        rankOf[sorted[i]] = rank;
    }
    for (std::uint32_t& folder : folderOf) {
        folder = rankOf[folder];
    }
    return folderOf;
}

void ImageFileList::ShrinkToFit() {
    bytes_.shrink_to_fit();
    starts_.shrink_to_fit();
    order_.shrink_to_fit();
    taken_.shrink_to_fit();
}

std::size_t ImageFileList::MemoryBytes() const {
    return bytes_.capacity() + starts_.capacity() * sizeof(std::uint32_t) +
           order_.capacity() * sizeof(EntryId) + taken_.capacity() * sizeof(std::int64_t);
}

} // namespace pirela
