#include "ui/BitmapSurface.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace pirela {

namespace {

constexpr QRgb kOpaque = 0xFF000000u;

// One colour channel of a masked 16 or 32-bit pixel, widened to 8 bits.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0;

    explicit Channel(std::uint32_t m) : mask(m) {
        if (mask != 0) {
            shift = std::countr_zero(mask);
            max = mask >> shift;
        }
    }
    std::uint32_t Of(std::uint32_t pixel) const {
        return max == 0 ? 0 : ((pixel & mask) >> shift) * 255 / max;
    }
};

Bitmap::ColourMasks MasksOf(const Bitmap& bitmap) {
    if (bitmap.HasColourMasks()) {
        return bitmap.Masks();
    }
    return bitmap.BitCount() == 16 ? Bitmap::ColourMasks{0x7C00, 0x03E0, 0x001F}
                                   : Bitmap::ColourMasks{0xFF0000, 0x00FF00, 0x0000FF};
}

void ConvertIndexed(const Bitmap& bitmap, QImage& image, int top, int bottom) {
    QRgb palette[256];
    std::fill(std::begin(palette), std::end(palette), kOpaque);
    const auto& table = bitmap.ColourTable();
    for (std::size_t i = 0; i < table.size() && i < 256; ++i) {
        palette[i] = qRgb(table[i].red, table[i].green, table[i].blue);
    }
    const int bits = bitmap.BitCount();
    const int perByte = 8 / bits;
    const unsigned valueMask = (1u << bits) - 1;
    for (int y = top; y < bottom; ++y) {
        const std::uint8_t* source = bitmap.PictureRow(y);
        auto* target = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < bitmap.Width(); ++x) {
            const int shift = bits * (perByte - 1 - x % perByte); // leftmost pixel in the high bits
            target[x] = palette[(source[x / perByte] >> shift) & valueMask];
        }
    }
}

std::uint32_t Load32(const std::uint8_t* bytes) {
    std::uint32_t value = 0;
    std::memcpy(&value, bytes, 4);
    return value; // little-endian: the first byte is the lowest
}

// Blue-green-red to 0xFFRRGGBB, four pixels (twelve bytes, three loads) at a time: the
// conversion of a large photo must not add noticeably to its decoding.
void ConvertBgrRow(const std::uint8_t* source, QRgb* target, int width) {
    int x = 0;
    for (; x + 4 <= width; x += 4, source += 12) {
        const std::uint32_t a = Load32(source);     // B0 G0 R0 B1
        const std::uint32_t b = Load32(source + 4); // G1 R1 B2 G2
        const std::uint32_t c = Load32(source + 8); // R2 B3 G3 R3
        target[x] = kOpaque | (a & 0xFFFFFFu);
        target[x + 1] = kOpaque | (a >> 24) | (b & 0xFFFFu) << 8;
        target[x + 2] = kOpaque | (b >> 16) | (c & 0xFFu) << 16;
        target[x + 3] = kOpaque | (c >> 8);
    }
    for (; x < width; ++x, source += 3) {
        target[x] = kOpaque | std::uint32_t{source[2]} << 16 | std::uint32_t{source[1]} << 8 |
                    source[0];
    }
}

void ConvertBgr(const Bitmap& bitmap, QImage& image, int top, int bottom) {
    for (int y = top; y < bottom; ++y) {
        ConvertBgrRow(bitmap.PictureRow(y), reinterpret_cast<QRgb*>(image.scanLine(y)),
                      bitmap.Width());
    }
}

void ConvertMasked(const Bitmap& bitmap, QImage& image, int top, int bottom) {
    const Bitmap::ColourMasks masks = MasksOf(bitmap);
    const Channel red(masks[0]);
    const Channel green(masks[1]);
    const Channel blue(masks[2]);
    const int bytes = bitmap.BitCount() / 8;
    for (int y = top; y < bottom; ++y) {
        const std::uint8_t* source = bitmap.PictureRow(y);
        auto* target = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < bitmap.Width(); ++x, source += bytes) {
            std::uint32_t pixel = 0;
            std::memcpy(&pixel, source, static_cast<std::size_t>(bytes));
            target[x] = kOpaque | red.Of(pixel) << 16 | green.Of(pixel) << 8 | blue.Of(pixel);
        }
    }
}

// Blue, green, red, alpha is ARGB32 on a little-endian machine; painting wants it premultiplied.
void ConvertBgra(const Bitmap& bitmap, QImage& image, int top, int bottom) {
    for (int y = top; y < bottom; ++y) {
        const std::uint8_t* source = bitmap.PictureRow(y);
        auto* target = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < bitmap.Width(); ++x) {
            target[x] = qPremultiply(Load32(source + 4 * x));
        }
    }
}

// The rows top..bottom of the picture into the 32-bit image.
void ConvertRows(const Bitmap& bitmap, QImage& image, int top, int bottom) {
    if (bitmap.HasAlpha()) {
        ConvertBgra(bitmap, image, top, bottom);
    } else if (bitmap.BitCount() <= 8) {
        ConvertIndexed(bitmap, image, top, bottom);
    } else if (bitmap.BitCount() == 24) {
        ConvertBgr(bitmap, image, top, bottom);
    } else {
        ConvertMasked(bitmap, image, top, bottom);
    }
}

} // namespace

void BitmapSurface::Reset(const Bitmap* bitmap, RowWaiter waitForRows) {
    bitmap_ = bitmap;
    waitForRows_ = std::move(waitForRows);
    image_ = QImage();
    bandReady_.clear();
    if (bitmap_ == nullptr) {
        return;
    }
    // Allocated, not written: memory is only touched as bands are converted.
    image_ = QImage(bitmap_->Width(), bitmap_->Height(),
                    bitmap_->HasAlpha() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (!image_.isNull()) {
        bandReady_.assign(static_cast<std::size_t>((bitmap_->Height() + kBandRows - 1) / kBandRows),
                          false);
    }
}

const QImage& BitmapSurface::Rows(int top, int bottom) {
    if (image_.isNull()) {
        return image_;
    }
    top = std::max(0, top);
    bottom = std::min(bottom, image_.height());
    for (int band = top / kBandRows; band * kBandRows < bottom; ++band) {
        if (!bandReady_[static_cast<std::size_t>(band)]) {
            const int bandBottom = std::min((band + 1) * kBandRows, image_.height());
            if (waitForRows_) {
                waitForRows_(bandBottom);
            }
            ConvertRows(*bitmap_, image_, band * kBandRows, bandBottom);
            bandReady_[static_cast<std::size_t>(band)] = true;
        }
    }
    return image_;
}

const QImage& BitmapSurface::Whole() {
    return Rows(0, image_.height());
}

} // namespace pirela
