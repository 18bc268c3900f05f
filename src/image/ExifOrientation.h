#pragma once

#include <cstddef>
#include <cstdint>

namespace pirela {

// The orientation (1..8) an EXIF block records in its first directory: the payload of a
// JPEG's APP1 segment ("Exif\0\0" and a TIFF header) or a TIFF header alone. Upright (1) when
// the block is not EXIF, has no orientation, or is damaged. Parsed by libexif, which checks
// every offset against the block's size.
int ExifOrientation(const std::uint8_t* data, std::size_t size);

} // namespace pirela
