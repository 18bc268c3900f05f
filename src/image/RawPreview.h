#pragma once

#include "image/Bitmap.h"
#include "image/JpegReader.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace pirela {

// The JPEG picture a camera stores inside its raw file, and how to turn it upright.
struct RawPreview {
    std::vector<std::uint8_t> jpeg;
    int orientation = 1; // as the raw file's own orientation says (1..8)
};

// Finds the camera's JPEG preview in a raw file (CR2, CR3, NEF, ARW, DNG, RAF, ORF, RW2, ...)
// read from an open file descriptor, through libraw: the largest JPEG the camera stored, as
// libraw picks it. None when the file is not a raw file libraw knows, or holds no JPEG
// preview: the raw data itself is never developed, which would take seconds.
std::optional<RawPreview> ExtractRawPreview(int descriptor);

// The preview decoded by the JPEG reader with the given options, turned upright as the raw
// file says (unless the options say not to turn); none without a preview.
std::unique_ptr<Bitmap> ReadRawPreviewDescriptor(int descriptor, const JpegReadOptions& options);

} // namespace pirela
