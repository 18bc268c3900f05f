// Arbitrary bytes as the start of a JPEG whose thumbnail is to be made: walking its segments
// to the frame header and reading the camera's thumbnail from its EXIF block never crash, and
// a size found is a real one.
#include "thumbnail/ExifThumbnail.h"
#include "thumbnail/JpegLayout.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    std::FILE* file = ::fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
    if (file == nullptr) {
        return 0;
    }
    const auto layout = pirela::ReadJpegLayout(file);
    std::fclose(file);
    if (layout && (layout->width <= 0 || layout->height <= 0 || layout->exif.size() > size)) {
        std::abort();
    }
    const pirela::ExifThumbnail thumbnail = pirela::ReadExifThumbnail(
        layout ? layout->exif.data() : data, layout ? layout->exif.size() : size);
    if (thumbnail.orientation < 1 || thumbnail.orientation > 8 ||
        (!thumbnail.jpeg.empty() && thumbnail.jpeg[0] != 0xFF)) {
        std::abort();
    }
    return 0;
}
