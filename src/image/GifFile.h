#pragma once

#include "image/DescriptorReader.h"

#include <gif_lib.h>
#include <vector>

namespace pirela {

// What the GIF readers share: giflib reading through a DescriptorReader (its user data), the
// file closed by a unique_ptr, and the order an interlaced frame's rows come in.

int ReadGifFromDescriptor(GifFileType* gif, GifByteType* buffer, int bytes);

struct CloseGif {
    void operator()(GifFileType* gif) const;
};

// The rows of a frame in the order the file stores them: top to bottom, or for an interlaced
// frame four passes, each every so many rows from a start.
std::vector<int> GifRowOrder(int height, bool interlaced);

} // namespace pirela
