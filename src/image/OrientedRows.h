#pragma once

#include "image/Bitmap.h"

#include <cstddef>
#include <cstdint>

namespace pirela {

// The upright picture's size for a stored picture of the given size.
struct OrientedSize {
    int width = 0;
    int height = 0;
};
OrientedSize UprightSize(int storedWidth, int storedHeight, int orientation);

// Puts a decoder's rows, in the order the file stores them, into a bitmap of the upright
// picture (see Orientation.h), so that the picture is turned while it is decoded and never
// needs a second bitmap. The bitmap has the upright size and 8, 24 or 32 bits per pixel.
//
// Orientations 1 to 4 keep rows as rows: a decoder writes each stored row straight into the
// bitmap (RowTarget) and the row is mirrored in place afterwards where needed. Orientations 5
// to 8 make rows into columns: the decoder writes a band of rows into a buffer of its own and
// Place copies the band into its columns.
class OrientedRows {
public:
    // With redFirst, the decoder writes 24-bit rows red first: orientations 2 and 3 then
    // mirror each row by reversing its bytes, which puts blue first too, in one pass that is
    // far cheaper than moving pixels of three bytes (see MirrorsRows).
    OrientedRows(Bitmap& bitmap, int orientation, bool redFirst = false);

    // Whether stored rows are mirrored left to right (orientations 2 and 3).
    static bool MirrorsRows(int orientation) { return orientation == 2 || orientation == 3; }

    int Orientation() const { return orientation_; }
    int StoredWidth() const { return storedWidth_; }
    int StoredHeight() const { return storedHeight_; }

    // Whether stored rows go straight into the bitmap (orientations 1 to 4).
    bool InPlace() const { return orientation_ <= 4; }
    // Where stored row y goes, for InPlace orientations.
    std::uint8_t* RowTarget(int storedY);
    // Mirrors the stored rows first..first+count-1, written to their targets, where the
    // orientation asks for it.
    void FinishInPlace(int first, int count);
    // Copies the stored rows first..first+count-1, each of StoredWidth() pixels and stride
    // bytes apart in rows, to where they belong (any orientation).
    void Place(const std::uint8_t* rows, std::size_t stride, int first, int count);

    // How many rows from the top of the upright picture are final once the stored rows
    // 0..storedRows-1 are in place: as many for orientations that keep the top row first,
    // otherwise none until every row is.
    int FinalRowsFromTop(int storedRows) const;

private:
    void PlaceColumns(const std::uint8_t* rows, std::size_t stride, int first, int count);

    Bitmap& bitmap_;
    int orientation_;
    int storedWidth_;
    int storedHeight_;
    int bytesPerPixel_;
    bool redFirst_;
};

} // namespace pirela
