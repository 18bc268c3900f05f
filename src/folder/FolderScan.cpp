#include "folder/FolderScan.h"

#include "common/PathRules.h"
#include "image/ImageFormat.h"

#include <vector>

namespace pirela {

namespace {

bool IsHidden(std::string_view name) {
    return !name.empty() && name.front() == '.';
}

class Scan {
public:
    Scan(const ScanOptions& options, ImageFileList& list, const DirectoryReader& reader,
         const std::atomic<bool>* stop)
        : options_(options), list_(list), reader_(reader), stop_(stop) {}

    // Scans one folder; prefix is its path relative to the top folder ("" for the top itself).
    // Its files go straight into the list; its subfolders follow once it has been read.
    ScanEnd Folder(const std::string& folder, const std::string& prefix) {
        std::vector<std::string> subfolders;
        ScanEnd end = ScanEnd::Complete;
        reader_.Read(folder, [&](std::string_view name, EntryKind kind) {
            if (stop_ != nullptr && stop_->load(std::memory_order_relaxed)) {
                end = ScanEnd::Stopped;
                return false;
            }
            if (IsHidden(name) && !options_.hidden) {
                return true;
            }
            if (kind == EntryKind::Folder && options_.subfolders) {
                subfolders.emplace_back(name);
            } else if (kind == EntryKind::RegularFile &&
                       IsOpenableExtension(ExtensionOf(name), options_.formats) &&
                       !list_.AddFileName(name, prefix)) {
                end = ScanEnd::Full;
                return false;
            }
            return true;
        });
        for (const std::string& name : subfolders) {
            if (end != ScanEnd::Complete) {
                break;
            }
            end = Folder(JoinPath(folder, name), prefix + name + kPathSeparator);
        }
        return end;
    }

private:
    const ScanOptions& options_;
    ImageFileList& list_;
    const DirectoryReader& reader_;
    const std::atomic<bool>* stop_;
};

} // namespace

ScanEnd AddImageFilesOf(const std::string& folder, const ScanOptions& options, ImageFileList& list,
                        const DirectoryReader& reader, const std::atomic<bool>* stop) {
    return Scan(options, list, reader, stop).Folder(FolderForSearch(folder), std::string());
}

} // namespace pirela
