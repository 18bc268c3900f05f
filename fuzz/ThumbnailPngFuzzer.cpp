// Arbitrary bytes as a thumbnail's PNG from the desktop's cache, which any program of the user
// may have written: reading gives a picture of the size it says with its text fields, or none,
// never a crash; and what was read, written again and read back, is the same thumbnail.
#include "thumbnail/ThumbnailPng.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

std::optional<pirela::ThumbnailImage> ReadFrom(const void* data, std::size_t size) {
    std::FILE* file = ::fmemopen(const_cast<void*>(data), size, "rb");
    if (file == nullptr) {
        return std::nullopt;
    }
    auto image = pirela::ReadThumbnailPng(file);
    std::fclose(file);
    return image;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const auto image = ReadFrom(data, size);
    if (!image) {
        return 0;
    }
    const pirela::ScaledPicture& picture = image->picture;
    if (picture.width <= 0 || picture.height <= 0 || picture.width > 2048 ||
        picture.height > 2048 ||
        picture.pixels.size() != std::size_t(picture.width) * std::size_t(picture.height)) {
        std::abort();
    }
    char* written = nullptr;
    std::size_t writtenSize = 0;
    std::FILE* out = ::open_memstream(&written, &writtenSize);
    if (out == nullptr) {
        return 0;
    }
    const bool wrote = pirela::WriteThumbnailPng(out, picture, image->fields);
    std::fclose(out);
    const auto again = wrote ? ReadFrom(written, writtenSize) : std::nullopt;
    std::free(written);
    if (!again || again->fields != image->fields || again->picture.width != picture.width ||
        again->picture.height != picture.height ||
        (!picture.hasAlpha && again->picture.pixels != picture.pixels)) {
        std::abort();
    }
    return 0;
}
