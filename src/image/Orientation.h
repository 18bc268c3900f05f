#pragma once

namespace pirela {

// How a camera stored its picture, as the EXIF orientation tag (0x0112) says: the stored
// rows turned or mirrored into the upright picture.
//   1 as stored            2 mirrored left to right
//   3 turned half a turn   4 mirrored top to bottom
//   5 axes swapped (mirrored along the diagonal from the top left)
//   6 turned a quarter clockwise
//   7 axes swapped the other way (mirrored along the other diagonal)
//   8 turned a quarter counter-clockwise
inline constexpr int kStoredUpright = 1;

// The value as an orientation: anything outside 1..8 counts as upright.
inline int ValidOrientation(int value) {
    return value >= 1 && value <= 8 ? value : kStoredUpright;
}

// Whether the upright picture is as wide as the stored one is high.
inline bool SwapsAxes(int orientation) {
    return orientation >= 5 && orientation <= 8;
}

} // namespace pirela
