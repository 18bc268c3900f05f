#include "folder/ImageFileList.h"

#include "common/AsciiText.h"
#include "common/PathRules.h"

#include <algorithm>

namespace pirela {

namespace {

unsigned char Folded(char c) {
    return static_cast<unsigned char>((c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c);
}

bool GoesDeeper(std::string_view remainder) {
    return remainder.find(kPathSeparator) != std::string_view::npos;
}

} // namespace

int CompareListNames(std::string_view a, std::string_view b) {
    std::size_t common = 0;
    while (common < a.size() && common < b.size() && Folded(a[common]) == Folded(b[common])) {
        ++common;
    }
    const std::string_view ra = a.substr(common);
    const std::string_view rb = b.substr(common);
    const bool aDeeper = GoesDeeper(ra);
    const bool bDeeper = GoesDeeper(rb);
    if (aDeeper != bDeeper) {
        return aDeeper ? 1 : -1;
    }
    if (ra.empty() || rb.empty()) {
        return static_cast<int>(!ra.empty()) - static_cast<int>(!rb.empty());
    }
    return static_cast<int>(Folded(ra.front())) - static_cast<int>(Folded(rb.front()));
}

bool ListNameLess(std::string_view a, std::string_view b) {
    const int order = CompareListNames(a, b);
    return order != 0 ? order < 0 : a < b;
}

ImageFileList::ImageFileList() {
    names_.reserve(kCapacity);
}

const std::string& ImageFileList::Name(int index) const {
    static const std::string empty;
    return index >= 0 && index < Count() ? names_[static_cast<std::size_t>(index)] : empty;
}

std::string ImageFileList::CurrentImagePath() const {
    return JoinPath(folder_, CurrentName());
}

std::string ImageFileList::ImagePath(int index) const {
    return JoinPath(folder_, Name(index));
}

bool ImageFileList::AddFileName(std::string name) {
    if (Count() >= kCapacity) {
        return false;
    }
    names_.push_back(std::move(name));
    return true;
}

void ImageFileList::RemoveFileName(int index) {
    if (index >= 0 && index < Count()) {
        names_.erase(names_.begin() + index);
    }
}

void ImageFileList::ClearFileList() {
    names_.clear();
    current_ = 0;
    unlistedName_.clear();
}

int ImageFileList::FindFileName(std::string_view name) const {
    const auto exact = std::find(names_.begin(), names_.end(), name);
    if (exact != names_.end()) {
        return static_cast<int>(exact - names_.begin());
    }
    for (int i = 0; i < Count(); ++i) {
        if (EqualsIgnoringAsciiCase(names_[static_cast<std::size_t>(i)], name)) {
            return i;
        }
    }
    return -1;
}

void ImageFileList::SortFileList() {
    // An O(n log n) sort: a folder that is already in order must not take quadratic time.
    std::sort(names_.begin(), names_.end(), ListNameLess);
}

} // namespace pirela
