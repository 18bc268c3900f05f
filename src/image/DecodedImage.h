#pragma once

#include "image/Bitmap.h"
#include "image/ImageInfo.h"

#include <cstdint>
#include <memory>

namespace pirela {

// The document's current image: the bitmap (or none), whether the current file could be
// decoded, its facts and the quarter turns applied to it.
//
// States: empty (no bitmap, shown), shown (a bitmap, shown), failed (no bitmap, not shown: the
// view paints an error text naming the file).
class DecodedImage {
public:
    const Bitmap* Pixels() const { return bitmap_.get(); }
    bool HasBitmap() const { return bitmap_ != nullptr; }

    // Takes the new bitmap, then lets the old one go: a new image is always made before the
    // old one is released, so a failed decode or turn never leaves the user with nothing.
    void Install(std::unique_ptr<Bitmap> bitmap);
    void Discard();

    // Counts the bitmaps installed, so the user interface knows when to prepare its surface
    // again (once per load or turn, never per paint).
    std::uint64_t Generation() const { return generation_; }

    bool Shown() const { return shown_; }
    void SetShown(bool shown) { shown_ = shown; }

    int TurnState() const { return turnState_; }
    void SetTurnState(int turnState) { turnState_ = turnState; }

    const ImageInfo& Info() const { return info_; }
    // Sets the file's facts and takes the size and depth from the bitmap, if there is one.
    void FillInfo(ImageInfo info);

private:
    std::unique_ptr<Bitmap> bitmap_;
    std::uint64_t generation_ = 0;
    bool shown_ = true;
    int turnState_ = 0;
    ImageInfo info_;
};

} // namespace pirela
