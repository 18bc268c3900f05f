#include "image/ImageDecoder.h"

#include "image/BmpReader.h"
#include "image/CFile.h"
#include "image/GifReader.h"
#include "image/HeifReader.h"
#include "image/JpegReader.h"
#include "image/PngReader.h"
#include "image/RawPreview.h"
#include "image/TiffReader.h"
#include "image/WebpReader.h"

#include <new>

namespace pirela {

namespace {

JpegReadOptions JpegOptions(const ReadOptions& options) {
    JpegReadOptions jpeg;
    jpeg.progress = options.progress;
    jpeg.applyOrientation = options.applyOrientation;
    return jpeg;
}

std::unique_ptr<Bitmap> DecodeStream(std::FILE* file, ImageFormat format,
                                     const ReadOptions& options) {
    switch (format) {
    case ImageFormat::Bitmap:
        return ReadBmpStream(file, options.progress);
    case ImageFormat::Jpeg:
        return ReadJpegStream(file, JpegOptions(options));
    case ImageFormat::Png:
        return ReadPngStream(file, options.progress);
    case ImageFormat::Gif:
        return ReadGifDescriptor(fileno(file), options);
    case ImageFormat::Tiff:
        return ReadTiffDescriptor(fileno(file), options);
    case ImageFormat::WebP:
        return ReadWebpDescriptor(fileno(file), options);
    case ImageFormat::Heif:
    case ImageFormat::Avif:
        return ReadHeifDescriptor(fileno(file), options);
    case ImageFormat::Raw:
        return ReadRawPreviewDescriptor(fileno(file), JpegOptions(options));
    case ImageFormat::Unsupported:
        break;
    }
    return nullptr;
}

} // namespace

std::unique_ptr<Bitmap> DecodeImageStream(std::FILE* file, ImageFormat format,
                                          const ReadOptions& options) {
    // Memory that cannot be had makes the file undecodable; it never ends the program.
    try {
        return DecodeStream(file, format, options);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

std::unique_ptr<Bitmap> DecodeImageFile(const std::filesystem::path& path, ImageFormat format,
                                        const ReadOptions& options) {
    const CFile file = OpenForReading(path);
    return file ? DecodeImageStream(file.get(), format, options) : nullptr;
}

} // namespace pirela
