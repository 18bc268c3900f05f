#pragma once

#include "image/ScaledPicture.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

namespace pirela {

// The text fields of a thumbnail's PNG that say which file it shows and in what state.
struct ThumbnailFields {
    std::string uri;                   // Thumb::URI: the original's URI
    std::optional<std::int64_t> mtime; // Thumb::MTime: its modification time in seconds
    std::optional<std::int64_t> size;  // Thumb::Size: its size in bytes
    std::string mimeType;              // Thumb::Mimetype
    int imageWidth = 0;                // Thumb::Image::Width, 0 when not given
    int imageHeight = 0;               // Thumb::Image::Height
    std::string software;              // Software: the program that made it

    bool operator==(const ThumbnailFields&) const = default;
};

struct ThumbnailImage {
    ScaledPicture picture;
    ThumbnailFields fields;
};

// The picture of a thumbnail's PNG (any colour type, depth or interlacing another program
// wrote, at most 2048 pixels a side) and its text fields (tEXt, zTXt or iTXt, before or after
// the picture data). A number that is not exactly a decimal number reads as absent. None when
// the file is not such a PNG, or is damaged or cut short.
std::optional<ThumbnailImage> ReadThumbnailPng(std::FILE* file);
std::optional<ThumbnailImage> ReadThumbnailPngFile(const std::filesystem::path& path);

// Writes the picture as the desktop's thumbnails are: an 8-bit RGBA PNG, not interlaced, its
// fields as tEXt chunks before the picture data (the absent ones left out). False when writing
// failed; the caller flushes and checks the stream.
bool WriteThumbnailPng(std::FILE* file, const ScaledPicture& picture,
                       const ThumbnailFields& fields);

} // namespace pirela
