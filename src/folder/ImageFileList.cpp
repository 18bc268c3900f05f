#include "folder/ImageFileList.h"

#include "common/AsciiText.h"
#include "common/PathRules.h"

#include <algorithm>
#include <limits>

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
    deep_ = deep_ || !prefix.empty() || name.find(kPathSeparator) != std::string_view::npos;
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
    deep_ = false;
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
    // quadratic time. Most names differ in their first bytes, which the keys hold; paths into
    // subfolders, where a file sorts before anything deeper, are compared whole.
    const auto byName = [this](EntryId a, EntryId b) { return ListNameLess(NameOf(a), NameOf(b)); };
    const auto naturally = [this](EntryId a, EntryId b) {
        return NaturalNameLess(NameOf(a), NameOf(b));
    };
    const auto noKey = [](EntryId) { return OrderKey(); };
    switch (order) {
    case ListOrder::Name:
        if (deep_) {
            SortByKey(noKey, byName);
        } else {
            SortByKey([this](EntryId id) { return NameOrderKey(NameOf(id)); }, byName);
        }
        break;
    case ListOrder::Natural:
        if (deep_) {
            SortByKey(noKey, naturally);
        } else {
            SortByKey([this](EntryId id) { return NaturalOrderKey(NameOf(id)); }, naturally);
        }
        break;
    case ListOrder::DateTaken:
        // Times as unsigned numbers in the same order: the sign bit turned over.
        // The name's first bytes next: photos of one second (a burst) are many.
        SortByKey(
            [this](EntryId id) {
                return OrderKey{std::uint64_t(TakenTime(id)) ^ (1ULL << 63),
                                deep_ ? 0 : NameOrderKey(NameOf(id)).high};
            },
            byName);
        break;
    }
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
