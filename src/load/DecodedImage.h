#pragma once

#include "image/Bitmap.h"
#include "image/ImageInfo.h"
#include "load/AnimationJob.h"
#include "load/DecodeJob.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

namespace pirela {

// The document's current image: the bitmap (or none), whether the current file could be
// decoded, its facts and the quarter turns applied to it. The bitmap may still be decoding on
// a worker: it is then shown as soon as it is made, and whoever needs all of it waits.
//
// States: empty (no bitmap, shown), loading (a decode in a helper that has made nothing yet,
// shown: the view keeps its last picture a moment), shown (a bitmap, shown), failed (no bitmap,
// not shown: the view paints an error text naming the file, and why when a helper knows). A
// decode that fails after its bitmap was made, or while loading, turns into failed when it ends.
class DecodedImage {
public:
    // The whole bitmap: waits for a decode still running; none without a bitmap or when the
    // decode failed.
    const Bitmap* Pixels() const;
    // The bitmap as it is, rows possibly still to come (see Decode()): for its size and depth,
    // and for the rows the decode reports final. Never waits.
    const Bitmap* PixelsSoFar() const;
    // A bitmap, or a decode that has made one and not failed.
    bool HasBitmap() const { return PixelsSoFar() != nullptr && !DecodeFailed(); }
    // A decode still running that has made no bitmap yet (a helper's, whose bitmap comes whole).
    bool Loading() const;
    // The decode that feeds the bitmap, until something else is installed; none otherwise.
    const DecodeJob* Decode() const { return decode_.get(); }

    // Takes the new bitmap, then lets the old one go: a new image is always made before the
    // old one is released, so a failed decode or turn never leaves the user with nothing.
    void Install(std::unique_ptr<Bitmap> bitmap);
    // The same with a decode that has made its bitmap (it may still be filling it).
    void InstallDecode(std::shared_ptr<DecodeJob> decode);
    void Discard();
    // The view's plan, for the decode still running (its prepared picture) and the animation's
    // frames.
    void SetPlan(const ViewPlan& plan);

    // The animation playing in the bitmap's place (an animated GIF or WebP file); none
    // otherwise. Whatever is installed next, or a discard, stops it.
    AnimationJob* Animation() const { return animation_.get(); }
    void SetAnimation(std::unique_ptr<AnimationJob> animation) {
        animation_ = std::move(animation);
    }

    // Counts the bitmaps installed, so the user interface knows when to prepare its surface
    // again (once per load or turn, never per paint).
    std::uint64_t Generation() const { return generation_; }

    bool Shown() const { return shown_ && !DecodeFailed(); }
    void SetShown(bool shown) { shown_ = shown; }
    // Why the image shown as failed could not be decoded, as far as a helper knows; set with the
    // failed state, cleared with the next image.
    HelperFailure Failure() const;
    void SetFailure(HelperFailure failure) { failure_ = failure; }

    int TurnState() const { return turnState_; }
    void SetTurnState(int turnState) { turnState_ = turnState; }

    const ImageInfo& Info() const { return info_; }
    // Sets the file's facts and takes the size and depth from the bitmap, if there is one.
    void FillInfo(ImageInfo info);
    // The file shown took a new name (a rename of ours); every other fact stays.
    void Rename(std::string path, std::string fileName) {
        info_.path = std::move(path);
        info_.fileName = std::move(fileName);
    }

private:
    bool DecodeFailed() const;

    std::unique_ptr<Bitmap> bitmap_;
    std::shared_ptr<DecodeJob> decode_;
    std::unique_ptr<AnimationJob> animation_;
    std::uint64_t generation_ = 0;
    bool shown_ = true;
    HelperFailure failure_ = HelperFailure::None;
    int turnState_ = 0;
    ImageInfo info_;
};

} // namespace pirela
