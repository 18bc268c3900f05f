#include "folder/FolderScan.h"

#include "common/PathRules.h"
#include "image/ImageFormat.h"

#include <filesystem>

namespace pirela {

namespace fs = std::filesystem;

namespace {

bool IsHidden(std::string_view name) {
    return !name.empty() && name.front() == '.';
}

bool IsListable(const fs::directory_entry& entry, std::string_view name, const ScanOptions& options) {
    std::error_code error;
    return (options.hidden || !IsHidden(name)) && IsOpenableExtension(ExtensionOf(name)) &&
           entry.is_regular_file(error);
}

bool IsEnterable(const fs::directory_entry& entry, std::string_view name,
                 const ScanOptions& options) {
    std::error_code error;
    return (options.hidden || !IsHidden(name)) && !entry.is_symlink(error) &&
           entry.is_directory(error);
}

// Scans one folder; prefix is its path relative to the top folder ("" for the top itself).
// Subfolders first, then the folder's own files, as the walk has always listed them.
bool ScanFolderInto(const fs::path& folder, const std::string& prefix, const ScanOptions& options,
                    ImageFileList& list) {
    std::error_code error;
    std::vector<std::string> subfolders;
    std::vector<std::string> files;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (options.subfolders && IsEnterable(*it, name, options)) {
            subfolders.push_back(name);
        } else if (IsListable(*it, name, options)) {
            files.push_back(name);
        }
    }
    for (const std::string& name : subfolders) {
        if (!ScanFolderInto(folder / name, prefix + name + kPathSeparator, options, list)) {
            return false;
        }
    }
    for (std::string& name : files) {
        if (!list.AddFileName(prefix.empty() ? std::move(name) : prefix + name)) {
            return false;
        }
    }
    return true;
}

} // namespace

bool AddImageFilesOf(const std::string& folder, const ScanOptions& options, ImageFileList& list) {
    return ScanFolderInto(FolderForSearch(folder), std::string(), options, list);
}

} // namespace pirela
