#include "folder/FolderScan.h"

#include "common/PathRules.h"
#include "image/ImageFormat.h"
#include "platform/DirectoryReader.h"

#include <vector>

namespace pirela {

namespace {

bool IsHidden(std::string_view name) {
    return !name.empty() && name.front() == '.';
}

// Scans one folder; prefix is its path relative to the top folder ("" for the top itself).
// Subfolders first, then the folder's own files, as the walk has always listed them.
bool ScanFolderInto(const std::string& folder, const std::string& prefix,
                    const ScanOptions& options, ImageFileList& list) {
    std::vector<std::string> subfolders;
    std::vector<std::string> files;
    ForEachDirectoryEntry(folder, [&](std::string_view name, EntryKind kind) {
        if (IsHidden(name) && !options.hidden) {
            return;
        }
        if (kind == EntryKind::Folder && options.subfolders) {
            subfolders.emplace_back(name);
        } else if (kind == EntryKind::RegularFile &&
                   IsOpenableExtension(ExtensionOf(name), options.formats)) {
            files.push_back(prefix.empty() ? std::string(name) : prefix + std::string(name));
        }
    });
    for (const std::string& name : subfolders) {
        if (!ScanFolderInto(JoinPath(folder, name), prefix + name + kPathSeparator, options,
                            list)) {
            return false;
        }
    }
    for (std::string& name : files) {
        if (!list.AddFileName(std::move(name))) {
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
