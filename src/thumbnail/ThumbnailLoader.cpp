#include "thumbnail/ThumbnailLoader.h"

#include "common/PathRules.h"
#include "image/CFile.h"
#include "image/ImageScaler.h"
#include "image/StraightAlpha.h"
#include "platform/RegularFile.h"
#include "thumbnail/ThumbnailMaker.h"

#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace pirela {

namespace {

using Outcome = LoadedThumbnail::Outcome;

std::string MimeTypeOf(ImageFormat format) {
    switch (format) {
    case ImageFormat::Bitmap:
        return "image/bmp";
    case ImageFormat::Jpeg:
        return "image/jpeg";
    case ImageFormat::Png:
        return "image/png";
    case ImageFormat::Gif:
        return "image/gif";
    case ImageFormat::Tiff:
        return "image/tiff";
    case ImageFormat::WebP:
        return "image/webp";
    case ImageFormat::Heif:
        return "image/heif";
    case ImageFormat::Avif:
        return "image/avif";
    default:
        return ""; // a raw file's type depends on its camera
    }
}

// A picture larger than the box (a thumbnail of a larger size) reduced into it.
std::shared_ptr<const ScaledPicture> FittedInto(ScaledPicture picture, int box) {
    const FittedSize fitted = FitIntoBox(picture.width, picture.height, box);
    if (fitted.width == picture.width && fitted.height == picture.height) {
        return std::make_shared<const ScaledPicture>(std::move(picture));
    }
    BitmapInfoHeader header;
    header.width = picture.width;
    header.height = -picture.height;
    header.bitCount = 32;
    const std::unique_ptr<Bitmap> bitmap = Bitmap::Create(header);
    if (!bitmap) {
        return nullptr;
    }
    for (int y = 0; y < picture.height; ++y) {
        std::uint8_t* row = bitmap->PictureRow(y);
        std::memcpy(row, picture.pixels.data() + std::size_t(y) * std::size_t(picture.width),
                    std::size_t(picture.width) * 4);
        if (picture.hasAlpha) {
            UnpremultiplyRow(row, picture.width); // a bitmap keeps its colours straight
        }
    }
    bitmap->SetHasAlpha(picture.hasAlpha);
    std::optional<ScaledPicture> scaled = ScaleDown(*bitmap, fitted.width, fitted.height);
    return scaled ? std::make_shared<const ScaledPicture>(std::move(*scaled)) : nullptr;
}

LoadedThumbnail Ready(ScaledPicture picture, int box, bool stored, LoadedThumbnail loaded) {
    loaded.picture = FittedInto(std::move(picture), box);
    loaded.outcome = loaded.picture ? Outcome::Ready : Outcome::Failed;
    loaded.stored = stored;
    return loaded;
}

LoadedThumbnail Make(const ThumbnailCache& cache, const ThumbnailOriginal& original, int box,
                     CFile file, bool inCache, DecodeProgress& progress, LoadedThumbnail loaded) {
    const ThumbnailSize size = SizeForBox(box);
    const ImageFormat format = FormatForExtension(ExtensionOf(FileNameOf(original.path)));
    std::optional<MadeThumbnail> made = MakeThumbnail(file.get(), format, Pixels(size), progress);
    if (progress.StopRequested()) {
        loaded.outcome = Outcome::Stopped;
        return loaded;
    }
    if (!made) {
        if (!inCache) {
            cache.RecordFailure(original);
        }
        loaded.outcome = Outcome::Failed;
        return loaded;
    }
    ThumbnailFields fields;
    fields.mimeType = MimeTypeOf(format);
    fields.imageWidth = made->imageWidth;
    fields.imageHeight = made->imageHeight;
    const bool stored = !inCache && cache.Store(original, size, made->picture, fields);
    return Ready(std::move(made->picture), box, stored, std::move(loaded));
}

} // namespace

LoadedThumbnail LoadThumbnail(const ThumbnailCache& cache, const std::string& canonicalPath,
                              int box, const std::optional<FileIdentity>& known,
                              DecodeProgress& progress) {
    LoadedThumbnail loaded;
    const int descriptor = OpenRegularFile(canonicalPath.c_str());
    struct stat status {};
    if (descriptor < 0 || ::fstat(descriptor, &status) != 0) {
        if (descriptor >= 0) {
            ::close(descriptor);
        }
        return loaded;
    }
    CFile file(::fdopen(descriptor, "rb"));
    if (!file) {
        ::close(descriptor);
        return loaded;
    }
    loaded.identity = FileIdentity::FromStatus(status);
    if (known && *known == *loaded.identity) {
        loaded.outcome = Outcome::Unchanged;
        return loaded;
    }
    const ThumbnailOriginal original(canonicalPath, status.st_mtim.tv_sec, status.st_size);
    const bool inCache = cache.Holds(canonicalPath);
    // The cache knows a file's time in whole seconds only: a file seen to change within the
    // second it had could still match a thumbnail of what it was.
    const bool changedUnseen = known && known->modifiedSeconds == loaded.identity->modifiedSeconds;
    if (!inCache && !changedUnseen) {
        if (std::optional<ThumbnailImage> found = cache.FindFresh(original, SizeForBox(box))) {
            return Ready(std::move(found->picture), box, true, std::move(loaded));
        }
        if (cache.HasFreshFailure(original)) {
            loaded.outcome = Outcome::Failed;
            return loaded;
        }
    }
    return Make(cache, original, box, std::move(file), inCache, progress, std::move(loaded));
}

} // namespace pirela
