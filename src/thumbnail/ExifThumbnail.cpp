#include "thumbnail/ExifThumbnail.h"

#include "image/ExifOrientation.h"

#include <climits>
#include <libexif/exif-data.h>
#include <memory>

namespace pirela {

namespace {

struct ReleaseExif {
    void operator()(ExifData* data) const { exif_data_unref(data); }
};

constexpr std::uint8_t kJpegStart[] = {0xFF, 0xD8};

} // namespace

ExifThumbnail ReadExifThumbnail(const std::uint8_t* data, std::size_t size) {
    ExifThumbnail thumbnail;
    if (data == nullptr || size == 0 || size > UINT_MAX) {
        return thumbnail;
    }
    thumbnail.orientation = ExifOrientation(data, size);
    const std::unique_ptr<ExifData, ReleaseExif> exif(exif_data_new());
    if (!exif) {
        return thumbnail;
    }
    // Read only, as the orientation is: nothing added, corrected or rewritten.
    exif_data_unset_option(exif.get(), EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
    exif_data_set_option(exif.get(), EXIF_DATA_OPTION_IGNORE_UNKNOWN_TAGS);
    exif_data_load_data(exif.get(), data, static_cast<unsigned>(size));
    if (exif->data != nullptr && exif->size > sizeof kJpegStart && exif->data[0] == kJpegStart[0] &&
        exif->data[1] == kJpegStart[1]) {
        thumbnail.jpeg.assign(exif->data, exif->data + exif->size);
    }
    return thumbnail;
}

} // namespace pirela
