#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pirela {

// The small JPEG picture a camera keeps in its EXIF block (IFD1), and how the photo is to be
// turned upright; the picture is stored as the photo is, so the same turn applies to it.
struct ExifThumbnail {
    int orientation = 1;
    std::vector<std::uint8_t> jpeg; // empty when the block holds no JPEG thumbnail
};

// Read by libexif from the payload of a JPEG's APP1 segment, which checks every offset
// against the block's size; an empty thumbnail and upright when the block is damaged.
ExifThumbnail ReadExifThumbnail(const std::uint8_t* data, std::size_t size);

} // namespace pirela
