#include "image/Rotation.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace pirela {

namespace {

// A tile of 32 x 32 pixels of 4 bytes is 4 KiB in each bitmap: both stay in the first-level
// cache while the tile is copied.
constexpr int kTile = 32;

// Copies a pixels wide tile: new (x', y') takes old (W - 1 - y', x') for a left turn and
// old (y', H - 1 - x') for a right turn; the new picture is H wide and W high. Only the source
// rows of the tile in hand are looked up: a table of every row would cost 8 bytes a row, two
// gigabytes for a bitmap a quarter of a billion rows tall.
template <int kPixelBytes>
void TurnTiled(const Bitmap& source, Bitmap& target, int direction) {
    const int oldWidth = source.Width();
    const int oldHeight = source.Height();
    const int newWidth = oldHeight;
    const int newHeight = oldWidth;
    const std::uint8_t* tileRows[kTile];
    for (int tileX = 0; tileX < newWidth; tileX += kTile) {
        const int endX = std::min(tileX + kTile, newWidth);
        for (int x = tileX; x < endX; ++x) {
            tileRows[x - tileX] = source.PictureRow(direction == kTurnLeft ? x : oldHeight - 1 - x);
        }
        for (int tileY = 0; tileY < newHeight; tileY += kTile) {
            const int endY = std::min(tileY + kTile, newHeight);
            for (int y = tileY; y < endY; ++y) {
                std::uint8_t* out = target.PictureRow(y) + std::size_t{kPixelBytes} * tileX;
                const int oldX = direction == kTurnLeft ? oldWidth - 1 - y : y;
                const std::size_t oldOffset = std::size_t{kPixelBytes} * oldX;
                for (int x = tileX; x < endX; ++x, out += kPixelBytes) {
                    std::memcpy(out, tileRows[x - tileX] + oldOffset, kPixelBytes);
                }
            }
        }
    }
}

std::unique_ptr<Bitmap> MakeTurned(const Bitmap& source, int direction) {
    BitmapInfoHeader header;
    header.width = source.Height();
    header.height = source.Width();
    header.bitCount = source.Header().bitCount;
    header.compression = source.Header().compression;
    header.clrUsed = source.Header().clrUsed;
    auto target = Bitmap::Create(header, source.ColourTable(), source.Masks());
    if (!target) {
        return nullptr;
    }
    target->SetHasAlpha(source.HasAlpha());
    switch (source.BitCount() / 8) {
    case 1:
        TurnTiled<1>(source, *target, direction);
        break;
    case 2:
        TurnTiled<2>(source, *target, direction);
        break;
    case 3:
        TurnTiled<3>(source, *target, direction);
        break;
    default:
        TurnTiled<4>(source, *target, direction);
        break;
    }
    return target;
}

} // namespace

std::unique_ptr<Bitmap> TurnBitmapQuarter(const Bitmap& source, int direction) {
    if (!CanTurn(source.BitCount()) || (direction != kTurnLeft && direction != kTurnRight)) {
        return nullptr;
    }
    // Memory that cannot be had is an answer, not an end: the image stays as it was.
    try {
        return MakeTurned(source, direction);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

} // namespace pirela
