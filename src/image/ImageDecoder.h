#pragma once

#include "image/Bitmap.h"
#include "image/ImageFormat.h"
#include "image/ReadOptions.h"

#include <cstdio>
#include <filesystem>
#include <memory>

namespace pirela {

// Runs the decoder of the format on the file; none for an unsupported format or a file the
// decoder refuses.
std::unique_ptr<Bitmap> DecodeImageFile(const std::filesystem::path& path, ImageFormat format,
                                        const ReadOptions& options = {});

// The same from an open file, on a worker thread: the progress (if any) hears of the bitmap
// and its finished rows and may stop the decode. A bitmap file's rows are all final at once, at
// the end. The camera roll's formats read the file's descriptor by position.
std::unique_ptr<Bitmap> DecodeImageStream(std::FILE* file, ImageFormat format,
                                          const ReadOptions& options);

// The camera roll's formats, read from an open file descriptor by position; none for BMP, JPEG
// and PNG, which are read as streams.
std::unique_ptr<Bitmap> DecodeDescriptorImage(int descriptor, ImageFormat format,
                                              const ReadOptions& options);

} // namespace pirela
