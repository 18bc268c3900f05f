#pragma once

#include "image/Bitmap.h"

#include <memory>

namespace pirela {

// Quarter-turn directions.
inline constexpr int kTurnLeft = 1;  // counter-clockwise
inline constexpr int kTurnHalf = 2;
inline constexpr int kTurnRight = 3; // clockwise

// Whether a bitmap of this depth can be turned: 8 bits or more, whole bytes per pixel.
inline bool CanTurn(int bitCount) {
    return bitCount >= 8;
}

// A new bottom-up bitmap holding the source turned a quarter left (kTurnLeft) or right
// (kTurnRight): W x H becomes H x W. It keeps the source's depth, colour table, colour masks and
// alpha. None when the depth cannot be turned or the memory cannot be had; the source is never
// changed. Pixels are copied in square tiles so that both bitmaps are walked in cache-sized
// pieces.
std::unique_ptr<Bitmap> TurnBitmapQuarter(const Bitmap& source, int direction);

} // namespace pirela
