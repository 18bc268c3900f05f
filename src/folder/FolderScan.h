#pragma once

#include "folder/ImageFileList.h"
#include "image/ImageFormat.h"
#include "platform/DirectoryReader.h"

#include <atomic>
#include <string>

namespace pirela {

struct ScanOptions {
    bool subfolders = false; // descend into the subtree
    bool hidden = false;     // include hidden files and folders (names beginning with ".")
    FormatSet formats = FormatSet::All; // the camera roll's formats too, or the classic ones
};

// How a scan ended: every image listed, the list full (the names that fitted stay), or
// stopped by the user (the names found so far stay).
enum class ScanEnd { Complete, Full, Stopped };

// Adds every openable image file of the folder (and, with subfolders, of its subtree, as
// relative paths) to the list, in the order the folder reader gives them. Only regular files
// count: folders, devices and pipes named like images are never listed. Links to folders are
// not followed, so a link loop cannot trap the walk; a folder that cannot be entered adds
// nothing. The stop flag, when given, is looked at between entries.
ScanEnd AddImageFilesOf(const std::string& folder, const ScanOptions& options, ImageFileList& list,
                        const DirectoryReader& reader = DirectoryReader::System(),
                        const std::atomic<bool>* stop = nullptr);

} // namespace pirela
