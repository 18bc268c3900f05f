#pragma once

#include "image/Bitmap.h"

#include <cstddef>
#include <cstdint>

namespace pirela {

// The helper's bitmaps live in memory files (memfd), so that a decoded bitmap is handed to
// Pirela as it is, without a copy: Install makes Bitmap::Create take its pixels here. The
// memory files of one request stay open until Forget, after the answer went.
class SharedPixelMemory {
public:
    static void Install();
    // The memory file holding the pixels at this address; -1 when they are not ours.
    static int DescriptorOf(const std::uint8_t* pixels);
    // Closes every memory file made so far (their bitmaps are gone).
    static void Forget();
    // A new memory file of the size, open for sealing; -1 when none can be had.
    static int NewMemoryFile(std::size_t bytes);

private:
    static PixelMemory Allocate(std::size_t bytes);
};

} // namespace pirela
