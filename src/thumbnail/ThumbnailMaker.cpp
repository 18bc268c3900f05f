#include "thumbnail/ThumbnailMaker.h"

#include "image/CFile.h"
#include "image/ImageDecoder.h"
#include "image/ImageScaler.h"
#include "image/JpegReader.h"
#include "image/OrientedRows.h"
#include "sandbox/HelperDecode.h"
#include "thumbnail/ExifThumbnail.h"
#include "thumbnail/JpegLayout.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace pirela {

namespace {

// An EXIF thumbnail whose proportions differ from the photo's by more than this carries
// bars (a 4:3 thumbnail of a 3:2 photo) and is not used.
constexpr double kProportionTolerance = 0.02;

std::optional<MadeThumbnail> Reduce(const Bitmap& bitmap, FittedSize size, OrientedSize image,
                                    const std::atomic<bool>* stop) {
    std::optional<ScaledPicture> picture = ScaleDown(bitmap, size.width, size.height, stop);
    if (!picture) {
        return std::nullopt;
    }
    return MadeThumbnail{std::move(*picture), image.width, image.height};
}

// The largest picture no larger than the image that still fills the thumbnail: what the
// library's scaled decode may stop at.
std::pair<int, int> WantedFor(int width, int height, int box) {
    const FittedSize fitted = FitIntoBox(width, height, box);
    return {fitted.width, fitted.height};
}

bool SameProportions(int width, int height, int otherWidth, int otherHeight) {
    const double ratio = double(width) / height;
    const double other = double(otherWidth) / otherHeight;
    return std::abs(ratio - other) <= kProportionTolerance * other;
}

// The camera's own small picture, when it is as large as the thumbnail and shows the same
// frame; decoded whole (it is a few kilobytes) and turned as the photo is.
std::optional<MadeThumbnail> FromExifThumbnail(const JpegLayout& layout, const ExifThumbnail& exif,
                                               int box) {
    if (exif.jpeg.empty()) {
        return std::nullopt;
    }
    // The buffer is only read through the stream opened on it.
    const CFile stream(
        ::fmemopen(const_cast<std::uint8_t*>(exif.jpeg.data()), exif.jpeg.size(), "rb"));
    const std::optional<JpegLayout> small = stream ? ReadJpegLayout(stream.get()) : std::nullopt;
    const FittedSize wanted = FitIntoBox(layout.width, layout.height, box);
    if (!small || small->width < wanted.width || small->height < wanted.height ||
        !SameProportions(small->width, small->height, layout.width, layout.height)) {
        return std::nullopt;
    }
    std::rewind(stream.get());
    JpegReadOptions options;
    options.orientation = exif.orientation;
    const std::unique_ptr<Bitmap> bitmap = ReadJpegStream(stream.get(), options);
    if (!bitmap) {
        return std::nullopt;
    }
    const OrientedSize image = UprightSize(layout.width, layout.height, exif.orientation);
    return Reduce(*bitmap, FitIntoBox(image.width, image.height, box), image, nullptr);
}

// A JPEG at the smallest scale that still fills the thumbnail; orientation 0 takes the file's
// own.
std::optional<MadeThumbnail> FromJpeg(std::FILE* file, int orientation, int box,
                                      DecodeProgress& progress) {
    if (orientation == 0) {
        const std::optional<JpegLayout> layout = ReadJpegLayout(file);
        std::rewind(file);
        if (layout && !layout->exif.empty()) {
            const ExifThumbnail exif = ReadExifThumbnail(layout->exif.data(), layout->exif.size());
            if (auto made = FromExifThumbnail(*layout, exif, box)) {
                return made;
            }
        }
    }
    OrientedSize image;
    JpegReadOptions options;
    options.orientation = orientation;
    options.progress = &progress;
    options.smallestWanted = [box, &image](int width, int height) {
        image = OrientedSize{width, height};
        return WantedFor(width, height, box);
    };
    const std::unique_ptr<Bitmap> bitmap = ReadJpegStream(file, options);
    if (!bitmap) {
        return std::nullopt;
    }
    return Reduce(*bitmap, FitIntoBox(image.width, image.height, box), image, &progress.StopFlag());
}

// A camera's raw file through the JPEG preview a helper finds in it, turned as the raw file
// says.
std::optional<MadeThumbnail> FromRaw(std::FILE* file, int box, DecodeProgress& progress) {
    std::optional<RawPreview> preview =
        ExtractRawPreviewInHelper(fileno(file), &progress.StopFlag());
    if (!preview) {
        return std::nullopt;
    }
    const CFile jpeg(::fmemopen(preview->jpeg.data(), preview->jpeg.size(), "rb"));
    return jpeg ? FromJpeg(jpeg.get(), preview->orientation, box, progress) : std::nullopt;
}

// Any other format decoded whole (the camera roll's in a helper), then reduced.
std::optional<MadeThumbnail> FromWhole(std::FILE* file, ImageFormat format, int box,
                                       DecodeProgress& progress) {
    const ReadOptions options{&progress, true};
    const std::unique_ptr<Bitmap> bitmap = DecodesInHelper(format)
                                               ? DecodeInHelper(fileno(file), format, options)
                                               : DecodeImageStream(file, format, options);
    if (!bitmap) {
        return std::nullopt;
    }
    const OrientedSize image{bitmap->Width(), bitmap->Height()};
    return Reduce(*bitmap, FitIntoBox(image.width, image.height, box), image, &progress.StopFlag());
}

} // namespace

FittedSize FitIntoBox(int width, int height, int box) {
    const int longer = std::max(width, height);
    const int side = std::min(box, longer);
    const auto scaled = [&](int length) {
        return std::max(1, static_cast<int>((std::int64_t(length) * side + longer / 2) / longer));
    };
    return width >= height ? FittedSize{side, scaled(height)} : FittedSize{scaled(width), side};
}

std::optional<MadeThumbnail> MakeThumbnail(std::FILE* file, ImageFormat format, int box,
                                           DecodeProgress& progress) {
    try {
        switch (format) {
        case ImageFormat::Jpeg:
            return FromJpeg(file, 0, box, progress);
        case ImageFormat::Raw:
            return FromRaw(file, box, progress);
        case ImageFormat::Unsupported:
            return std::nullopt;
        default:
            return FromWhole(file, format, box, progress);
        }
    } catch (const std::bad_alloc&) {
        return std::nullopt; // memory that cannot be had makes the file undecodable
    }
}

} // namespace pirela
