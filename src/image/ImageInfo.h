#pragma once

#include "image/ColourDescription.h"

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>

namespace pirela {

// Facts about the current file, filled by every load that got as far as opening it. They
// describe the image as loaded (upright, when its file records how it was taken), before any
// turn.
struct ImageInfo {
    std::string path;
    std::string fileName;
    std::int64_t size = 0; // bytes
    std::time_t modified = 0;
    int formatCode = 0; // ImageFormat: 1 bitmap, 3 JPEG, 5 PNG, 6 GIF ... 11 raw
    int width = 0;      // 0 when no bitmap was made
    int height = 0;
    int bitsPerPixel = 0;
    int resolutionX = 72;
    int resolutionY = 72;
    // False when the file could not be opened: then only the path and the name are known, and
    // no size or time of an earlier file may stand in for them.
    bool opened = true;
    // What the file says about its colours; none when it says nothing.
    std::shared_ptr<const ColourDescription> colour = nullptr;
};

} // namespace pirela
