#pragma once

#include "image/Bitmap.h"
#include "image/ReadOptions.h"

#include <memory>

namespace pirela {

// Reads the first frame of a GIF file from an open file descriptor, on its logical screen,
// into a top-down bitmap. A frame that covers the screen without a transparent colour gives an
// 8-bit bitmap with the frame's colour table; otherwise a 32-bit one with alpha, where the
// transparent colour and the screen outside the frame are transparent, so that the view shows
// its background colour there (the file's own background index is ignored, as browsers do).
// Rows are final top first (an interlaced frame's only at its end); a stop request is honoured
// every few rows. A file that ends inside the frame gives none. The bitmap says whether other
// frames follow (Animated).
std::unique_ptr<Bitmap> ReadGifDescriptor(int descriptor, const ReadOptions& options = {});

} // namespace pirela
