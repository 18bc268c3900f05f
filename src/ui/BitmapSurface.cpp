#include "ui/BitmapSurface.h"

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

void ConvertIndexed(const Bitmap& bitmap, QImage& image) {
    QRgb palette[256];
    std::fill(std::begin(palette), std::end(palette), kOpaque);
    const auto& table = bitmap.ColourTable();
    for (std::size_t i = 0; i < table.size() && i < 256; ++i) {
        palette[i] = qRgb(table[i].red, table[i].green, table[i].blue);
    }
    const int bits = bitmap.BitCount();
    const int perByte = 8 / bits;
    const unsigned valueMask = (1u << bits) - 1;
    for (int y = 0; y < bitmap.Height(); ++y) {
        const std::uint8_t* source = bitmap.PictureRow(y);
        auto* target = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < bitmap.Width(); ++x) {
            const int shift = bits * (perByte - 1 - x % perByte); // leftmost pixel in the high bits
            target[x] = palette[(source[x / perByte] >> shift) & valueMask];
        }
    }
}

void ConvertBgr(const Bitmap& bitmap, QImage& image) {
    for (int y = 0; y < bitmap.Height(); ++y) {
        const std::uint8_t* source = bitmap.PictureRow(y);
        auto* target = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < bitmap.Width(); ++x, source += 3) {
            target[x] = kOpaque | std::uint32_t{source[2]} << 16 | std::uint32_t{source[1]} << 8 |
                        source[0];
        }
    }
}

void ConvertMasked(const Bitmap& bitmap, QImage& image) {
    const Bitmap::ColourMasks masks = MasksOf(bitmap);
    const Channel red(masks[0]);
    const Channel green(masks[1]);
    const Channel blue(masks[2]);
    const int bytes = bitmap.BitCount() / 8;
    for (int y = 0; y < bitmap.Height(); ++y) {
        const std::uint8_t* source = bitmap.PictureRow(y);
        auto* target = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < bitmap.Width(); ++x, source += bytes) {
            std::uint32_t pixel = 0;
            std::memcpy(&pixel, source, static_cast<std::size_t>(bytes));
            target[x] = kOpaque | red.Of(pixel) << 16 | green.Of(pixel) << 8 | blue.Of(pixel);
        }
    }
}

void CopyBgra(const Bitmap& bitmap, QImage& image) {
    const std::size_t rowBytes = std::size_t(bitmap.Width()) * 4;
    for (int y = 0; y < bitmap.Height(); ++y) {
        std::memcpy(image.scanLine(y), bitmap.PictureRow(y), rowBytes);
    }
}

} // namespace

QImage MakeSurface(const Bitmap& bitmap) {
    const bool alpha = bitmap.HasAlpha();
    QImage image(bitmap.Width(), bitmap.Height(), alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull()) {
        return image; // out of memory: the view shows the background
    }
    if (alpha) {
        CopyBgra(bitmap, image); // blue, green, red, alpha is ARGB32 on a little-endian machine
        image.convertTo(QImage::Format_ARGB32_Premultiplied);
    } else if (bitmap.BitCount() <= 8) {
        ConvertIndexed(bitmap, image);
    } else if (bitmap.BitCount() == 24) {
        ConvertBgr(bitmap, image);
    } else {
        ConvertMasked(bitmap, image);
    }
    return image;
}

} // namespace pirela
