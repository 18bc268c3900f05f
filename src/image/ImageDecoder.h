#pragma once

#include "image/Bitmap.h"
#include "image/ImageFormat.h"

#include <filesystem>
#include <memory>

namespace pirela {

// Runs the decoder of the format on the file; none for an unsupported format or a file the
// decoder refuses.
std::unique_ptr<Bitmap> DecodeImageFile(const std::filesystem::path& path, ImageFormat format);

} // namespace pirela
