#include "image/OrientedRows.h"

#include "image/Orientation.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace pirela {

namespace {

// Reverses the order of the pixels of a row in place.
template <int kBytes> void MirrorRow(std::uint8_t* row, int width) {
    std::uint8_t* left = row;
    std::uint8_t* right = row + std::size_t(width - 1) * kBytes;
    for (; left < right; left += kBytes, right -= kBytes) {
        for (int i = 0; i < kBytes; ++i) {
            std::swap(left[i], right[i]);
        }
    }
}

// Reverses the bytes of a row, eight at a time from both ends.
void ReverseBytes(std::uint8_t* row, std::size_t bytes) {
    std::uint8_t* left = row;
    std::uint8_t* right = row + bytes;
    while (right - left >= 16) {
        std::uint64_t a = 0;
        std::uint64_t b = 0;
        std::memcpy(&a, left, 8);
        std::memcpy(&b, right - 8, 8);
        a = __builtin_bswap64(a);
        b = __builtin_bswap64(b);
        std::memcpy(left, &b, 8);
        std::memcpy(right - 8, &a, 8);
        left += 8;
        right -= 8;
    }
    std::reverse(left, right);
}

// Copies `count` pixels, each read `step` bytes after the last, to consecutive places.
template <int kBytes>
void CopyColumn(const std::uint8_t* from, std::ptrdiff_t step, int count, std::uint8_t* to) {
    for (int i = 0; i < count; ++i, from += step, to += kBytes) {
        std::memcpy(to, from, kBytes);
    }
}

// The same for three-byte pixels, four bytes a move: the fourth is the next pixel's first, which
// the next move writes over; only the last pixel is moved as three. The source must have a
// byte after each pixel read (it is not the last of its row).
void CopyColumnWide3(const std::uint8_t* from, std::ptrdiff_t step, int count, std::uint8_t* to) {
    for (int i = 1; i < count; ++i, from += step, to += 3) {
        std::memcpy(to, from, 4);
    }
    std::memcpy(to, from, 3);
}

} // namespace

OrientedSize UprightSize(int storedWidth, int storedHeight, int orientation) {
    return SwapsAxes(orientation) ? OrientedSize{storedHeight, storedWidth}
                                  : OrientedSize{storedWidth, storedHeight};
}

OrientedRows::OrientedRows(Bitmap& bitmap, int orientation, bool redFirst)
    : bitmap_(bitmap), orientation_(ValidOrientation(orientation)),
      storedWidth_(SwapsAxes(orientation_) ? bitmap.Height() : bitmap.Width()),
      storedHeight_(SwapsAxes(orientation_) ? bitmap.Width() : bitmap.Height()),
      bytesPerPixel_(bitmap.BitCount() / 8),
      redFirst_(redFirst && bitmap.BitCount() == 24 && MirrorsRows(orientation_)) {}

std::uint8_t* OrientedRows::RowTarget(int storedY) {
    // 3 and 4 are upside down: the first stored row is the picture's last.
    const bool upsideDown = orientation_ == 3 || orientation_ == 4;
    return bitmap_.PictureRow(upsideDown ? storedHeight_ - 1 - storedY : storedY);
}

void OrientedRows::FinishInPlace(int first, int count) {
    if (!MirrorsRows(orientation_)) {
        return;
    }
    for (int y = first; y < first + count; ++y) {
        std::uint8_t* row = RowTarget(y);
        if (redFirst_) {
            ReverseBytes(row, std::size_t(storedWidth_) * 3);
            continue;
        }
        switch (bytesPerPixel_) {
        case 1:
            MirrorRow<1>(row, storedWidth_);
            break;
        case 3:
            MirrorRow<3>(row, storedWidth_);
            break;
        default:
            MirrorRow<4>(row, storedWidth_);
            break;
        }
    }
}

void OrientedRows::Place(const std::uint8_t* rows, std::size_t stride, int first, int count) {
    if (!InPlace()) {
        PlaceColumns(rows, stride, first, count);
        return;
    }
    const std::size_t bytes = std::size_t(storedWidth_) * bytesPerPixel_;
    for (int i = 0; i < count; ++i) {
        std::memcpy(RowTarget(first + i), rows + stride * i, bytes);
    }
    FinishInPlace(first, count);
}

void OrientedRows::PlaceColumns(const std::uint8_t* rows, std::size_t stride, int first,
                                int count) {
    // Stored (x, y) goes to upright (y, x) for 5, (H-1-y, x) for 6, (H-1-y, W-1-x) for 7 and
    // (y, W-1-x) for 8. A band of stored rows fills a run of columns: for each stored column
    // one piece of an upright row, written left to right from the band's first row (5, 8) or
    // from its last (6, 7), so that every piece is written in the order of memory.
    const bool downwards = orientation_ == 5 || orientation_ == 6;
    const bool leftToRight = orientation_ == 5 || orientation_ == 8;
    const int leftColumn = leftToRight ? first : storedHeight_ - first - count;
    const std::uint8_t* leftRow = leftToRight ? rows : rows + stride * std::size_t(count - 1);
    const auto step = leftToRight ? static_cast<std::ptrdiff_t>(stride)
                                  : -static_cast<std::ptrdiff_t>(stride);
    for (int x = 0; x < storedWidth_; ++x) {
        std::uint8_t* row = bitmap_.PictureRow(downwards ? x : storedWidth_ - 1 - x);
        std::uint8_t* to = row + std::size_t(leftColumn) * bytesPerPixel_;
        const std::uint8_t* from = leftRow + std::size_t(x) * bytesPerPixel_;
        switch (bytesPerPixel_) {
        case 1:
            CopyColumn<1>(from, step, count, to);
            break;
        case 3:
            if (x + 1 < storedWidth_) {
                CopyColumnWide3(from, step, count, to);
            } else {
                CopyColumn<3>(from, step, count, to);
            }
            break;
        default:
            CopyColumn<4>(from, step, count, to);
            break;
        }
    }
}

int OrientedRows::FinalRowsFromTop(int storedRows) const {
    if (orientation_ <= 2) {
        return storedRows;
    }
    return storedRows >= storedHeight_ ? bitmap_.Height() : 0;
}

} // namespace pirela
