#include "image/ImageDecoder.h"

#include "image/BmpReader.h"
#include "image/JpegReader.h"
#include "image/PngReader.h"

namespace pirela {

std::unique_ptr<Bitmap> DecodeImageFile(const std::filesystem::path& path, ImageFormat format) {
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

} // namespace pirela
