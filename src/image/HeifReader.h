#pragma once

#include "image/Bitmap.h"
#include "image/ReadOptions.h"

#include <memory>

namespace pirela {

// Reads the primary image of a HEIF file (HEIC, and AVIF, which is HEIF holding AV1) from an
// open file descriptor into a top-down bitmap: 24 bits blue-green-red, or 32 with alpha. The
// container's turns, mirrors and crop are always applied, once: they are part of the picture
// (an EXIF orientation inside the file only repeats them). 10- and 12-bit images are reduced
// to 8 bits. libheif's own limits on sizes and box counts stay on; an image whose bitmap would
// exceed kMaxPixelBytes is refused before anything is decoded. The decode itself cannot be
// interrupted: a stop request is honoured before it and after it. All rows are final at once.
std::unique_ptr<Bitmap> ReadHeifDescriptor(int descriptor, const ReadOptions& options = {});

} // namespace pirela
