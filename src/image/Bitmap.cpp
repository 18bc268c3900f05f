#include "image/Bitmap.h"

#include <sys/mman.h>

#include <atomic>
#include <climits>
#include <new>

namespace pirela {

namespace {

bool IsSupportedBitCount(int bitCount) {
    switch (bitCount) {
    case 1:
    case 2:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        return true;
    default:
        return false;
    }
}

bool IsConsistent(const BitmapInfoHeader& header, std::size_t colours) {
    if (header.width <= 0 || header.height == 0 || header.height == INT_MIN ||
        !IsSupportedBitCount(header.bitCount)) {
        return false;
    }
    if (header.bitCount <= 8 && colours > (std::size_t{1} << header.bitCount)) {
        return false;
    }
    if (header.compression == kBiBitfields) {
        return header.bitCount == 16 || header.bitCount == 32;
    }
    return header.compression == kBiRgb;
}

PixelMemory CallocPixels(std::size_t bytes) {
    // Zeroed memory from calloc costs nothing until a page is written.
    return PixelMemory(static_cast<std::uint8_t*>(std::calloc(bytes, 1)));
}

std::atomic<PixelAllocator> pixelAllocator{CallocPixels};

} // namespace

void PixelRelease::operator()(std::uint8_t* memory) const {
    if (mappedBytes == 0) {
        std::free(memory);
    } else {
        ::munmap(memory, mappedBytes);
    }
}

void SetPixelAllocator(PixelAllocator allocator) {
    pixelAllocator = allocator;
}

std::unique_ptr<Bitmap> Bitmap::Describe(const BitmapInfoHeader& header,
                                         std::vector<RgbQuad> colourTable, ColourMasks masks) {
    if (!IsConsistent(header, colourTable.size())) {
        return nullptr;
    }
    const std::int64_t stride = BitmapStride(header.bitCount, header.width);
    const std::int64_t height = header.height < 0 ? -std::int64_t{header.height} : header.height;
    if (stride > static_cast<std::int64_t>(kMaxPixelBytes) / height) {
        return nullptr;
    }
    std::unique_ptr<Bitmap> bitmap(new (std::nothrow) Bitmap());
    if (!bitmap) {
        return nullptr;
    }
    bitmap->header_ = header;
    bitmap->stride_ = static_cast<std::size_t>(stride);
    bitmap->colourTable_ = std::move(colourTable);
    if (header.compression == kBiBitfields) {
        bitmap->masks_ = masks;
    }
    return bitmap;
}

std::unique_ptr<Bitmap> Bitmap::Create(const BitmapInfoHeader& header,
                                       std::vector<RgbQuad> colourTable, ColourMasks masks) {
    auto bitmap = Describe(header, std::move(colourTable), masks);
    if (bitmap) {
        bitmap->pixels_ = pixelAllocator.load()(bitmap->PixelBytes());
    }
    return bitmap && bitmap->pixels_ ? std::move(bitmap) : nullptr;
}

std::unique_ptr<Bitmap> Bitmap::Adopt(const BitmapInfoHeader& header,
                                      std::vector<RgbQuad> colourTable, PixelMemory pixels,
                                      bool writable) {
    auto bitmap = Describe(header, std::move(colourTable), {});
    if (bitmap) {
        bitmap->pixels_ = std::move(pixels);
        bitmap->writable_ = writable;
    }
    return bitmap;
}

} // namespace pirela
