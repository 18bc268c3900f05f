#pragma once

#include "image/Bitmap.h"
#include "image/ReadOptions.h"

#include <memory>

namespace pirela {

// Reads the first page of a TIFF file from an open file descriptor into a top-down bitmap,
// turned upright as its orientation tag says (unless told not to): 24 bits blue-green-red, or
// 32 with alpha when the file has an alpha sample. Any compression libtiff reads. Samples of
// 16 bits keep their high byte; floating-point samples (0 to 1) are scaled to 8 bits; CMYK is
// converted to RGB without a colour profile. Layouts beyond grey, RGB and CMYK in one plane
// (palettes, bilevel, YCbCr, separate planes, ...) go through libtiff's own RGBA conversion.
// The file is read a strip (or a row of tiles) at a time, rows final top first for an upright
// picture; a stop request is honoured between them. The bitmap's size bound is checked from
// the header, and libtiff's own allocations are held to it too.
std::unique_ptr<Bitmap> ReadTiffDescriptor(int descriptor, const ReadOptions& options = {});

} // namespace pirela
