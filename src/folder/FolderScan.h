#pragma once

#include "folder/ImageFileList.h"
#include "image/ImageFormat.h"

#include <string>

namespace pirela {

struct ScanOptions {
    bool subfolders = false; // descend into the subtree
    bool hidden = false;     // include hidden files and folders (names beginning with ".")
    FormatSet formats = FormatSet::All; // the camera roll's formats too, or the classic ones
};

// Adds every openable image file of the folder (and, with subfolders, of its subtree, as
// relative paths) to the list, in the order the file system gives them. Only regular files
// count: folders, devices and pipes named like images are never listed. Links to folders are
// not followed, so a link loop cannot trap the walk; a folder that cannot be entered adds
// nothing. Returns false when the list filled up; the names found so far stay.
bool AddImageFilesOf(const std::string& folder, const ScanOptions& options, ImageFileList& list);

} // namespace pirela
