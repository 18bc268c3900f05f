#pragma once

#include "image/Bitmap.h"

#include <cstdio>
#include <filesystem>
#include <memory>

namespace pirela {

class DecodeProgress;

// Reads a Windows bitmap file (.bmp, .dib). Accepts the 12-byte core header and the 40, 52, 56,
// 108 and 124-byte information headers; 1, 4, 8, 16, 24 and 32 bits per pixel; uncompressed
// and bit-field files. The colour table and pixel rows are the file's own, in its row order.
// Refuses, with none, every file it cannot trust: a short or foreign header, run-length or
// other compression, a colour table or masks beyond the header block, sizes that do not fit,
// pixels beyond kMaxPixelBytes, or pixel data shorter than the header promises.
// On a worker thread the progress (if any) hears of the bitmap as soon as it is made, and may
// stop the read between slices of its pixels; the rows are final only at the end.
std::unique_ptr<Bitmap> ReadBmpFile(const std::filesystem::path& path);
std::unique_ptr<Bitmap> ReadBmpStream(std::FILE* file, DecodeProgress* progress = nullptr);

} // namespace pirela
