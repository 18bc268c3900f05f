#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <vector>

namespace pirela {

// What the segments of a JPEG file tell before its picture data: the stored picture's size
// and the EXIF block of its first APP1 segment ("Exif\0\0" and the TIFF header onwards).
struct JpegLayout {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> exif;
};

// Walks the file's segments from its start to the frame header, reading only the EXIF block
// and skipping the rest. None when the file does not start as a JPEG does or its segments do
// not lead to a frame header; the decoder then has the last word.
std::optional<JpegLayout> ReadJpegLayout(std::FILE* file);

} // namespace pirela
