#pragma once

#include "image/Bitmap.h"

#include <array>
#include <cstdint>

namespace pirela {

// Converts picture rows (counted from the top) of one bitmap to 32-bit pixels 0xAARRGGBB: alpha
// 0xFF for opaque bitmaps, premultiplied when the bitmap has alpha. That is the layout a
// top-down 32-bit paint surface (QImage's RGB32 or premultiplied ARGB32) has on a little-endian
// machine, so both the view's surface and the scaler share one conversion. Palette entries a
// pixel names but the table lacks are black.
class PixelRowConverter {
public:
    // Prepares the palette or the channel masks once; the bitmap must outlive the converter.
    explicit PixelRowConverter(const Bitmap& bitmap);

    int Width() const { return bitmap_.Width(); }
    int Height() const { return bitmap_.Height(); }
    bool HasAlpha() const { return bitmap_.HasAlpha(); }

    // Writes Width() pixels of picture row pictureY to out. Safe to call from several threads.
    void Convert(int pictureY, std::uint32_t* out) const;
    // Only the columns left..right-1, into out[left..right-1].
    void Convert(int pictureY, int left, int right, std::uint32_t* out) const;

private:
    enum class Layout { kIndexed, kBgr, kMasked, kBgra };

    void PreparePalette();
    void PrepareMasks();
    void ConvertIndexed(const std::uint8_t* source, int left, int right, std::uint32_t* out) const;
    void ConvertMasked(const std::uint8_t* source, int left, int right, std::uint32_t* out) const;
    std::uint32_t MaskedChannel(std::uint32_t pixel, int channel) const;

    const Bitmap& bitmap_;
    Layout layout_;
    std::array<std::uint32_t, 256> palette_{};
    // Red, green, blue of a masked pixel: where each channel sits and its largest value.
    Bitmap::ColourMasks masks_{};
    std::array<int, 3> shifts_{};
    std::array<std::uint32_t, 3> maxima_{};
};

// The pixel 0xAARRGGBB with its colour scaled by its alpha, rounded exactly as Qt's
// qPremultiply rounds: c * a / 255 computed as (t + t / 256 + 128) / 256 with t = c * a.
inline std::uint32_t Premultiply(std::uint32_t pixel) {
    const std::uint32_t alpha = pixel >> 24;
    std::uint32_t redBlue = (pixel & 0xFF00FFu) * alpha;
    redBlue = ((redBlue + ((redBlue >> 8) & 0xFF00FFu) + 0x800080u) >> 8) & 0xFF00FFu;
    std::uint32_t green = ((pixel >> 8) & 0xFFu) * alpha;
    green = (green + ((green >> 8) & 0xFFu) + 0x80u) & 0xFF00u;
    return alpha << 24 | green | redBlue;
}

} // namespace pirela
