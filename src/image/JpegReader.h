#pragma once

#include "image/Bitmap.h"
#include "image/DecodeProgress.h"

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <utility>

namespace pirela {

// Reads a JPEG file into a 24-bit bottom-up bitmap, blue-green-red, at full size, turned upright
// as its EXIF orientation says. Grey files become grey 24-bit bitmaps. CMYK and YCCK files,
// corrupt data, arithmetic coding and images beyond kMaxPixelBytes give none. Library warnings
// (such as data that ends early) do not stop the decoding: a truncated file still gives a
// full-size bitmap. The colour profile its APP2 segments embed comes with the bitmap.
std::unique_ptr<Bitmap> ReadJpegFile(const std::filesystem::path& path);
std::unique_ptr<Bitmap> ReadJpegStream(std::FILE* file);

// How a JPEG file is to be read on a worker thread.
struct JpegReadOptions {
    // Whether the picture is turned upright as the EXIF orientation in its APP1 segment says.
    bool applyOrientation = true;
    // The orientation to apply instead of the file's own, when something else knows it better
    // (a camera's raw file, whose preview often carries none); 0 reads the file's.
    int orientation = 0;
    // Given the upright picture's width and height, the smallest size wanted: the library then
    // decodes at the smallest of its scales 1/8, 1/4 or 1/2 that still gives at least that
    // (much faster than the full size). Without it, or wanting the full size, at full size.
    std::function<std::pair<int, int>(int width, int height)> smallestWanted;
    // With smallestWanted: gives none at once, decoding nothing, when no smaller scale fits.
    bool onlyWhenSmaller = false;
    // Told of the bitmap and of each band of finished rows; asked whether to stop.
    DecodeProgress* progress = nullptr;
    // Stops once the bitmap is made, before anything is decoded: it comes back unfilled (and
    // unreported), to be filled later by ReadJpegStreamInto. Reading only the header, this
    // tells at once whether the file can be decoded and at what size.
    bool bitmapOnly = false;
};
std::unique_ptr<Bitmap> ReadJpegStream(std::FILE* file, const JpegReadOptions& options);
// Decodes the file into a bitmap a bitmapOnly read of it made (full size, 24 bits); false when
// the file cannot be decoded, the bitmap does not fit it, or the progress asked to stop. The
// bitmap is not reported to the progress again, only its rows.
bool ReadJpegStreamInto(std::FILE* file, Bitmap& bitmap, const JpegReadOptions& options);

// The scale denominator (1, 2, 4 or 8) for a picture of the given size that keeps it at least
// as large as wanted.
int JpegScaleDenominator(int width, int height, int wantedWidth, int wantedHeight);

} // namespace pirela
