#include "image/PixelRowConverter.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pirela {

namespace {

constexpr std::uint32_t kOpaque = 0xFF000000u;

std::uint32_t Load32(const std::uint8_t* bytes) {
    std::uint32_t value = 0;
    std::memcpy(&value, bytes, 4);
    return value; // little-endian: the first byte is the lowest
}

#if defined(__SSE2__)

// Four blue-green-red pixels from one 16-byte load: pixel k's three bytes, moved up by k bytes,
// land in 32-bit lane k. The load reads four bytes beyond the four pixels, so this stops while
// six pixels remain and never reads past the row. Returns how many pixels it converted.
int ConvertBgrFours(const std::uint8_t* source, std::uint32_t* out, int width) {
    const __m128i opaque = _mm_set1_epi32(static_cast<int>(kOpaque));
    const __m128i lane0 = _mm_setr_epi32(0xFFFFFF, 0, 0, 0);
    const __m128i lane1 = _mm_setr_epi32(0, 0xFFFFFF, 0, 0);
    const __m128i lane2 = _mm_setr_epi32(0, 0, 0xFFFFFF, 0);
    const __m128i lane3 = _mm_setr_epi32(0, 0, 0, 0xFFFFFF);
    int x = 0;
    for (; x + 6 <= width; x += 4, source += 12) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source));
        const __m128i low = _mm_or_si128(_mm_and_si128(bytes, lane0),
                                         _mm_and_si128(_mm_slli_si128(bytes, 1), lane1));
        const __m128i high = _mm_or_si128(_mm_and_si128(_mm_slli_si128(bytes, 2), lane2),
                                          _mm_and_si128(_mm_slli_si128(bytes, 3), lane3));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x),
                         _mm_or_si128(_mm_or_si128(low, high), opaque));
    }
    return x;
}

#else

int ConvertBgrFours(const std::uint8_t*, std::uint32_t*, int) {
    return 0;
}

#endif

// Blue-green-red to 0xFFRRGGBB, four pixels at a time: converting a large photo must cost
// little next to decoding it, and next to scaling it down.
void ConvertBgr(const std::uint8_t* source, std::uint32_t* out, int width) {
    int x = ConvertBgrFours(source, out, width);
    source += 3 * x;
    for (; x + 4 <= width; x += 4, source += 12) {
        const std::uint32_t a = Load32(source);     // B0 G0 R0 B1
        const std::uint32_t b = Load32(source + 4); // G1 R1 B2 G2
        const std::uint32_t c = Load32(source + 8); // R2 B3 G3 R3
        out[x] = kOpaque | (a & 0xFFFFFFu);
        out[x + 1] = kOpaque | (a >> 24) | (b & 0xFFFFu) << 8;
        out[x + 2] = kOpaque | (b >> 16) | (c & 0xFFu) << 16;
        out[x + 3] = kOpaque | (c >> 8);
    }
    for (; x < width; ++x, source += 3) {
        out[x] = kOpaque | std::uint32_t{source[2]} << 16 | std::uint32_t{source[1]} << 8 | source[0];
    }
}

// Blue, green, red, alpha is 0xAARRGGBB read little-endian; painting wants it premultiplied.
void ConvertBgra(const std::uint8_t* source, std::uint32_t* out, int width) {
    for (int x = 0; x < width; ++x) {
        out[x] = Premultiply(Load32(source + 4 * x));
    }
}

// Masked pixels without bit fields use the file format's defaults: 5-5-5 at 16 bits, 8-8-8 at 32.
Bitmap::ColourMasks MasksOf(const Bitmap& bitmap) {
    if (bitmap.HasColourMasks()) {
        return bitmap.Masks();
    }
    return bitmap.BitCount() == 16 ? Bitmap::ColourMasks{0x7C00, 0x03E0, 0x001F}
                                   : Bitmap::ColourMasks{0xFF0000, 0x00FF00, 0x0000FF};
}

} // namespace

PixelRowConverter::PixelRowConverter(const Bitmap& bitmap) : bitmap_(bitmap) {
    if (bitmap.HasAlpha()) {
        layout_ = Layout::kBgra;
    } else if (bitmap.BitCount() <= 8) {
        layout_ = Layout::kIndexed;
        PreparePalette();
    } else if (bitmap.BitCount() == 24) {
        layout_ = Layout::kBgr;
    } else {
        layout_ = Layout::kMasked;
        PrepareMasks();
    }
}

void PixelRowConverter::PreparePalette() {
    palette_.fill(kOpaque);
    const auto& table = bitmap_.ColourTable();
    for (std::size_t i = 0; i < table.size() && i < palette_.size(); ++i) {
        palette_[i] = kOpaque | std::uint32_t{table[i].red} << 16 |
                      std::uint32_t{table[i].green} << 8 | table[i].blue;
    }
}

void PixelRowConverter::PrepareMasks() {
    masks_ = MasksOf(bitmap_);
    for (std::size_t i = 0; i < masks_.size(); ++i) {
        if (masks_[i] != 0) {
            shifts_[i] = std::countr_zero(masks_[i]);
            maxima_[i] = masks_[i] >> shifts_[i];
        }
    }
}

void PixelRowConverter::Convert(int pictureY, std::uint32_t* out) const {
    Convert(pictureY, 0, Width(), out);
}

void PixelRowConverter::Convert(int pictureY, int left, int right, std::uint32_t* out) const {
    const std::uint8_t* source = bitmap_.PictureRow(pictureY);
    switch (layout_) {
    case Layout::kIndexed:
        ConvertIndexed(source, left, right, out);
        break;
    case Layout::kBgr:
        ConvertBgr(source + std::size_t{3} * static_cast<std::size_t>(left), out + left,
                   right - left);
        break;
    case Layout::kMasked:
        ConvertMasked(source, left, right, out);
        break;
    case Layout::kBgra:
        ConvertBgra(source + std::size_t{4} * static_cast<std::size_t>(left), out + left,
                    right - left);
        break;
    }
}

void PixelRowConverter::ConvertIndexed(const std::uint8_t* source, int left, int right,
                                       std::uint32_t* out) const {
    const int bits = bitmap_.BitCount();
    const int perByte = 8 / bits;
    const unsigned valueMask = (1u << bits) - 1;
    for (int x = left; x < right; ++x) {
        const int shift = bits * (perByte - 1 - x % perByte); // leftmost pixel in the high bits
        out[x] = palette_[(source[x / perByte] >> shift) & valueMask];
    }
}

// One channel widened to 8 bits; a channel without a mask is 0.
std::uint32_t PixelRowConverter::MaskedChannel(std::uint32_t pixel, int channel) const {
    const std::uint32_t max = maxima_[static_cast<std::size_t>(channel)];
    return max == 0 ? 0
                    : ((pixel & masks_[static_cast<std::size_t>(channel)]) >>
                       shifts_[static_cast<std::size_t>(channel)]) * 255 / max;
}

void PixelRowConverter::ConvertMasked(const std::uint8_t* source, int left, int right,
                                      std::uint32_t* out) const {
    const int bytes = bitmap_.BitCount() / 8;
    source += static_cast<std::size_t>(bytes) * static_cast<std::size_t>(left);
    for (int x = left; x < right; ++x, source += bytes) {
        std::uint32_t pixel = 0;
        std::memcpy(&pixel, source, static_cast<std::size_t>(bytes));
        out[x] = kOpaque | MaskedChannel(pixel, 0) << 16 | MaskedChannel(pixel, 1) << 8 |
                 MaskedChannel(pixel, 2);
    }
}

} // namespace pirela
