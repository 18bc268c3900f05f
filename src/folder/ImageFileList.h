#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pirela {

// The image files of the open folder, sorted, and which of them is current. Names are plain
// file names, or paths relative to the folder ("sub/deeper/a.jpg") when subfolders are
// searched. At most kCapacity names are held; the room for them is taken once, so a scan
// never reallocates.
class ImageFileList {
public:
    static constexpr int kCapacity = 19999;
    static constexpr int kSlots = kCapacity + 1; // as the user is told: "20000"

    ImageFileList();

    const std::string& Folder() const { return folder_; }
    void SetFolder(std::string folder) {
        folder_ = std::move(folder);
        unlistedName_.clear();
    }

    int Count() const { return static_cast<int>(names_.size()); }
    const std::vector<std::string>& Names() const { return names_; }
    // The name at index, or empty past the last one.
    const std::string& Name(int index) const;

    int Current() const { return current_; }
    void SetCurrent(int current) {
        current_ = current;
        unlistedName_.clear();
    }
    // Makes current a file of the folder that the list does not hold (a hidden file opened
    // directly, or one gone since the scan): the index is -1, but the current name is its own.
    void SetCurrentUnlisted(std::string name) {
        current_ = -1;
        unlistedName_ = std::move(name);
    }
    const std::string& CurrentName() const {
        return current_ == -1 && !unlistedName_.empty() ? unlistedName_ : Name(current_);
    }
    // A current image exists when a folder is open and the current name is not empty.
    bool HasCurrentImage() const { return !folder_.empty() && !CurrentName().empty(); }
    std::string CurrentImagePath() const;
    // The path of the listed name at index.
    std::string ImagePath(int index) const;

    // False, changing nothing, when the list is full.
    bool AddFileName(std::string name);
    // Takes the name out; the names after it move up. The current index is not touched.
    void RemoveFileName(int index);
    void ClearFileList();
    // The index of the name, or -1. An exact match wins; otherwise the first name equal
    // without ASCII case (a case-sensitive file system may hold both "A.jpg" and "a.jpg").
    int FindFileName(std::string_view name) const;

    // Sorts the names: without ASCII case, and where two paths part, a file of that level
    // before anything deeper. Names equal but for case keep a fixed (byte) order.
    void SortFileList();

private:
    std::string folder_;
    std::vector<std::string> names_;
    int current_ = 0;
    std::string unlistedName_;
};

// The sort order of two list names: negative, zero or positive. After their common start
// (ASCII case ignored), a remainder that goes into a subfolder sorts after one that does not;
// otherwise the remainders compare byte by byte with ASCII letters folded.
int CompareListNames(std::string_view a, std::string_view b);

// The list's strict order: CompareListNames, and names equal but for case by their bytes, so
// that the order never depends on the order the file system gave.
bool ListNameLess(std::string_view a, std::string_view b);

} // namespace pirela
