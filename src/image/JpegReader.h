#pragma once

#include "image/Bitmap.h"

#include <cstdio>
#include <filesystem>
#include <memory>

namespace pirela {

// Reads a JPEG file into a 24-bit bottom-up bitmap, blue-green-red, at full size. Grey files
// become grey 24-bit bitmaps. CMYK and YCCK files, corrupt data, arithmetic coding and images
// beyond kMaxPixelBytes give none. Library warnings (such as data that ends early) do not stop
// the decoding: a truncated file still gives a full-size bitmap.
std::unique_ptr<Bitmap> ReadJpegFile(const std::filesystem::path& path);
std::unique_ptr<Bitmap> ReadJpegStream(std::FILE* file);

} // namespace pirela
