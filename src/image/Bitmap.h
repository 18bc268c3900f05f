#pragma once

#include "image/ColourDescription.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

namespace pirela {

// Compression values of a device-independent bitmap.
inline constexpr std::uint32_t kBiRgb = 0;
inline constexpr std::uint32_t kBiBitfields = 3;

// No bitmap may hold more pixel memory than this; larger files are refused, not tried. The fuzz
// targets are built with a smaller bound: a few hundred bytes can declare a picture of a
// gigabyte, and filling such pictures would take the fuzzer's whole time while the readers'
// paths are the same at any size.
#ifdef PIRELA_FUZZ_MAX_PIXEL_BYTES
inline constexpr std::size_t kMaxPixelBytes = PIRELA_FUZZ_MAX_PIXEL_BYTES;
#else
inline constexpr std::size_t kMaxPixelBytes = std::size_t{1} << 30;
#endif

// The 40-byte information header of a device-independent bitmap.
struct BitmapInfoHeader {
    std::uint32_t size = 40;
    std::int32_t width = 0;
    std::int32_t height = 0; // positive: bottom-up rows; negative: top-down rows
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = kBiRgb;
    std::uint32_t sizeImage = 0;
    std::int32_t xPelsPerMeter = 0;
    std::int32_t yPelsPerMeter = 0;
    std::uint32_t clrUsed = 0;
    std::uint32_t clrImportant = 0;
};

// One colour table entry: blue, green, red, reserved.
struct RgbQuad {
    std::uint8_t blue = 0;
    std::uint8_t green = 0;
    std::uint8_t red = 0;
    std::uint8_t reserved = 0;
    bool operator==(const RgbQuad&) const = default;
};

// Bytes per row: rows are padded to a multiple of 4 bytes. Computed in 64 bits so that no
// width can overflow it.
inline std::int64_t BitmapStride(int bitCount, std::int64_t width) {
    return (bitCount * width + 31) / 32 * 4;
}

// Who gives a bitmap's pixel memory back: calloc'd memory is freed, a mapping (a bitmap a
// decoder helper filled in shared memory) is unmapped.
struct PixelRelease {
    std::size_t mappedBytes = 0; // 0: the memory came from calloc
    void operator()(std::uint8_t* memory) const;
};
using PixelMemory = std::unique_ptr<std::uint8_t[], PixelRelease>;

// Where Create takes zeroed pixel memory of the given size from; none when it cannot be had.
// Every process uses calloc, except the decoder helper, which hands its bitmaps' memory to
// Pirela in shared memory without copying it.
using PixelAllocator = PixelMemory (*)(std::size_t bytes);
void SetPixelAllocator(PixelAllocator allocator);

// A device-independent bitmap: header, colour table (8 bits or less), colour masks (bit-field
// bitmaps) and zero-filled pixel memory of |height| rows of Stride() bytes, in the row order the
// header declares.
class Bitmap {
public:
    using ColourMasks = std::array<std::uint32_t, 3>; // red, green, blue

    // None when the description is inconsistent (width <= 0, height 0, a bit count other than
    // 1, 2, 4, 8, 16, 24 or 32, more colours than the bit count allows, masks without bit-field
    // compression at 16 or 32 bits), when the pixels would need more than kMaxPixelBytes, or
    // when the memory cannot be had.
    static std::unique_ptr<Bitmap> Create(const BitmapInfoHeader& header,
                                          std::vector<RgbQuad> colourTable = {},
                                          ColourMasks masks = {});
    // The same description over pixel memory that is already filled, of at least
    // PixelBytes() bytes (the caller checked), which may be written or not; none when the
    // description is inconsistent.
    static std::unique_ptr<Bitmap> Adopt(const BitmapInfoHeader& header,
                                         std::vector<RgbQuad> colourTable, PixelMemory pixels,
                                         bool writable = false);

    const BitmapInfoHeader& Header() const { return header_; }
    int Width() const { return header_.width; }
    int Height() const { return header_.height < 0 ? -header_.height : header_.height; }
    int BitCount() const { return header_.bitCount; }
    bool IsTopDown() const { return header_.height < 0; }
    std::size_t Stride() const { return stride_; }
    std::size_t PixelBytes() const { return stride_ * static_cast<std::size_t>(Height()); }

    std::uint8_t* Pixels() { return pixels_.get(); }
    const std::uint8_t* Pixels() const { return pixels_.get(); }
    // The row at the given place in memory.
    std::uint8_t* MemoryRow(int index) { return pixels_.get() + stride_ * index; }
    const std::uint8_t* MemoryRow(int index) const { return pixels_.get() + stride_ * index; }
    // The row at the given height in the picture, counted from the top.
    std::uint8_t* PictureRow(int y) { return MemoryRow(MemoryIndexOf(y)); }
    const std::uint8_t* PictureRow(int y) const { return MemoryRow(MemoryIndexOf(y)); }

    const std::vector<RgbQuad>& ColourTable() const { return colourTable_; }
    bool HasColourMasks() const { return header_.compression == kBiBitfields; }
    const ColourMasks& Masks() const { return masks_; }

    // Whether the fourth byte of 32-bit pixels is an alpha value to composite (PNG with alpha)
    // rather than an unused byte (the usual 32-bit bitmap file).
    bool HasAlpha() const { return hasAlpha_; }
    void SetHasAlpha(bool hasAlpha) { hasAlpha_ = hasAlpha && header_.bitCount == 32; }

    // What the file says about its colours; none when it says nothing (sRGB). Shared, since a
    // turned copy describes the same colours.
    const std::shared_ptr<const ColourDescription>& Colour() const { return colour_; }
    void SetColour(std::shared_ptr<const ColourDescription> colour) { colour_ = std::move(colour); }
    // Whether the picture is the first frame of an animation (a GIF or WebP file of frames),
    // which the view may play.
    bool Animated() const { return animated_; }
    void SetAnimated(bool animated) { animated_ = animated; }
    // The colour table, changed in place (its colours made those shown) before anybody reads
    // the bitmap.
    std::vector<RgbQuad>& MutableColourTable() { return colourTable_; }
    // Whether the pixels may be written: not those of a decoder helper's answer, which Pirela
    // maps read-only unless their colours are to be converted.
    bool PixelsWritable() const { return writable_; }

private:
    Bitmap() = default;
    // The bitmap without its pixels: none when the description is inconsistent or too large.
    static std::unique_ptr<Bitmap> Describe(const BitmapInfoHeader& header,
                                            std::vector<RgbQuad> colourTable, ColourMasks masks);
    int MemoryIndexOf(int pictureY) const { return IsTopDown() ? pictureY : Height() - 1 - pictureY; }

    BitmapInfoHeader header_;
    std::vector<RgbQuad> colourTable_;
    ColourMasks masks_{};
    std::size_t stride_ = 0;
    PixelMemory pixels_;
    bool hasAlpha_ = false;
    bool writable_ = true;
    bool animated_ = false;
    std::shared_ptr<const ColourDescription> colour_;
};

} // namespace pirela
