#pragma once

#include "image/Bitmap.h"
#include "image/ReadOptions.h"

#include <memory>

namespace pirela {

// Reads a WebP file (lossy or lossless; of an animation, the first frame as shown on its
// canvas) from an open file descriptor into a top-down bitmap: 24 bits blue-green-red, or 32
// with alpha when the file has any. A still image is decoded as its bytes are read, straight
// into the bitmap, its rows final top first; a stop request is honoured between reads. The
// bitmap's size bound is checked from the header, before anything is decoded.
std::unique_ptr<Bitmap> ReadWebpDescriptor(int descriptor, const ReadOptions& options = {});

} // namespace pirela
