#pragma once

#include "image/Bitmap.h"
#include "image/DecodeProgress.h"

#include <cstdio>
#include <filesystem>
#include <memory>

namespace pirela {

// Reads a PNG file into a bottom-up bitmap, gamma-corrected for a screen gamma of 2.2 (from
// the file's gAMA, or 0.5 without one). A file that describes its colours (an embedded profile,
// the sRGB chunk, or primaries with a gamma) keeps its samples as stored instead, and the
// description comes with the bitmap. Grey and palette files below 16 bits keep their depth
// with a colour table; 8-bit RGB gives 24 bits. The layouts the bitmap model cannot hold as
// they are get converted: 16-bit samples become 8-bit, 16-bit grey becomes 8-bit grey, and
// files with alpha (grey + alpha, RGBA, at 8 or 16 bits) become 32-bit blue-green-red-alpha with
// the alpha kept. Transparency chunks are not applied. A corrupt or truncated file, or one
// beyond kMaxPixelBytes, gives none: never a partial image.
std::unique_ptr<Bitmap> ReadPngFile(const std::filesystem::path& path);
std::unique_ptr<Bitmap> ReadPngStream(std::FILE* file);
// The same on a worker thread: the progress is told of the bitmap and of finished rows, and
// may ask the reader to stop.
std::unique_ptr<Bitmap> ReadPngStream(std::FILE* file, DecodeProgress* progress);

} // namespace pirela
