#include "image/ExifOrientation.h"

#include "image/Orientation.h"

#include <climits>
#include <libexif/exif-data.h>
#include <memory>

namespace pirela {

namespace {

struct ReleaseExif {
    void operator()(ExifData* data) const { exif_data_unref(data); }
};

} // namespace

int ExifOrientation(const std::uint8_t* data, std::size_t size) {
    // libexif takes the size as an unsigned int; an APP1 segment holds at most 64 KiB anyway.
    if (data == nullptr || size == 0 || size > UINT_MAX) {
        return kStoredUpright;
    }
    const std::unique_ptr<ExifData, ReleaseExif> exif(exif_data_new());
    if (!exif) {
        return kStoredUpright;
    }
    // Read only: no tags added or corrected, nothing of the maker's notes rewritten.
    exif_data_unset_option(exif.get(), EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
    exif_data_set_option(exif.get(), EXIF_DATA_OPTION_IGNORE_UNKNOWN_TAGS);
    exif_data_load_data(exif.get(), data, static_cast<unsigned>(size));
    ExifEntry* entry = exif_content_get_entry(exif->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION);
    if (entry == nullptr || entry->format != EXIF_FORMAT_SHORT || entry->components < 1 ||
        entry->data == nullptr || entry->size < 2) {
        return kStoredUpright;
    }
    return ValidOrientation(exif_get_short(entry->data, exif_data_get_byte_order(exif.get())));
}

} // namespace pirela
