#pragma once

#include "folder/ListOrder.h"

#include <string>
#include <string_view>
#include <vector>

namespace pirela {

class DateTakenCache;

// The image formats whose files a batch rename takes.
struct ImageFormatChoice {
    bool bitmap = true; // bmp, dib
    bool jpeg = true;   // jpg, jpe
    bool png = true;    // png
    bool other = true;  // the camera roll's: jpeg, heic, avif, webp, tif, gif, raw files, ...
};

// The extensions of the chosen formats, in the order bitmap, JPEG, PNG, others.
std::vector<std::string_view> ChosenExtensions(const ImageFormatChoice& formats);

// The files a batch rename numbers: the regular files directly in the folder (never in its
// subfolders) whose extension belongs to a chosen format, ASCII case ignored, sorted in the
// file list's order (by name unless another is given; by the date taken, the dates come from
// the cache and what it does not know is read and kept there). Folders, pipes and devices
// named like images are left out, and so are names beginning with ".", which the desktop hides
// and which are often another program's companion files. Empty when the folder cannot be read.
std::vector<std::string> ListBatchRenameFiles(const std::string& folder,
                                              const ImageFormatChoice& formats,
                                              ListOrder order = ListOrder::Name,
                                              DateTakenCache* dates = nullptr);

} // namespace pirela
