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
    default:
        return DecodeDescriptorImage(fileno(file), format, options);
    }
}

} // namespace

std::unique_ptr<Bitmap> DecodeDescriptorImage(int descriptor, ImageFormat format,
                                              const ReadOptions& options) {
    switch (format) {
    case ImageFormat::Gif:
        return ReadGifDescriptor(descriptor, options);
    case ImageFormat::Tiff:
        return ReadTiffDescriptor(descriptor, options);
    case ImageFormat::WebP:
        return ReadWebpDescriptor(descriptor, options);
    case ImageFormat::Heif:
    case ImageFormat::Avif:
        return ReadHeifDescriptor(descriptor, options);
    case ImageFormat::Raw:
        return ReadRawPreviewDescriptor(descriptor, JpegOptions(options));
    default:
        return nullptr;
    }
}

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
