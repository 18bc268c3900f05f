#pragma once

#include <cstdint>
#include <vector>

namespace pirela {

// A top-down picture of 32-bit pixels 0xAARRGGBB as PixelRowConverter makes them (premultiplied
// when hasAlpha), rows packed: pixel (x, y) is pixels[y * width + x].
struct ScaledPicture {
    int width = 0;
    int height = 0;
    bool hasAlpha = false;
    std::vector<std::uint32_t> pixels;
};

} // namespace pirela
