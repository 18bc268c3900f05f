#include "image/ImageDecoder.h"

#include "image/BmpReader.h"
#include "image/JpegReader.h"
#include "image/PngReader.h"

#include <new>

namespace pirela {

namespace {

std::unique_ptr<Bitmap> Decode(const std::filesystem::path& path, ImageFormat format) {
    switch (format) {
    case ImageFormat::Bitmap:
        return ReadBmpFile(path);
    case ImageFormat::Jpeg:
        return ReadJpegFile(path);
    case ImageFormat::Png:
        return ReadPngFile(path);
    case ImageFormat::Unsupported:
        break;
    }
    return nullptr;
}

std::unique_ptr<Bitmap> DecodeStream(std::FILE* file, ImageFormat format,
                                     DecodeProgress* progress) {
    switch (format) {
    case ImageFormat::Bitmap:
        return ReadBmpStream(file, progress);
    case ImageFormat::Jpeg: {
        JpegReadOptions options;
        options.progress = progress;
        return ReadJpegStream(file, options);
    }
    case ImageFormat::Png:
        return ReadPngStream(file, progress);
    case ImageFormat::Unsupported:
        break;
    }
    return nullptr;
}

} // namespace

std::unique_ptr<Bitmap> DecodeImageStream(std::FILE* file, ImageFormat format,
                                          DecodeProgress* progress) {
    try {
        return DecodeStream(file, format, progress);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

std::unique_ptr<Bitmap> DecodeImageFile(const std::filesystem::path& path, ImageFormat format) {
    // Memory that cannot be had makes the file undecodable; it never ends the program.
    try {
        return Decode(path, format);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

} // namespace pirela
