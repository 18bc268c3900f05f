#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pirela {

// The EXIF block of a photo file as libexif reads it ("Exif\0\0", then a TIFF header), found
// without decoding anything: a JPEG's APP1 segment, the file's first MiB for a TIFF header at
// its start (TIFF and most raw files), a WebP's "EXIF" chunk, and in other containers (HEIF,
// AVIF, other raw files) the first "Exif\0\0" followed by a TIFF header within the file's first
// MiB. Empty when there is none, or the file cannot be read. Only regular files are opened, and
// no more than a MiB of a file's data is read.
std::vector<std::uint8_t> ReadExifBlock(const std::string& path);

// The same from bytes already read (the start of a file).
std::vector<std::uint8_t> FindExifBlock(const std::uint8_t* data, std::size_t size);

} // namespace pirela
