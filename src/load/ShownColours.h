#pragma once

#include "colour/ColourTransform.h"
#include "image/Bitmap.h"
#include "image/ScaledPicture.h"

#include <atomic>
#include <climits>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace pirela {

// The colours a decode's pictures are shown in: a photo whose file describes its colours is
// converted to the display's on the decode's worker, never on the window's thread, and only as
// much as is shown. Drawn smaller than itself, only the preview and the picture at the draw size
// are converted: a screenful of pixels, not the whole photo. The bitmap's own pixels are
// converted only where they are wanted, in strips of columns as wide as the view's tiles: at
// 100 % the part in sight, for the clipboard or a turn all of it; during the decode as their
// rows become final, after it a band at a time.
//
// The worker calls Start, RowsFinal, ConvertPreview, PrepareToScale, ConvertPicture and
// FollowUp; any thread may ask how far the shown colours are, want more, wait for all, or
// cancel.
class ShownColours {
public:
    static constexpr int kStripColumns = 512;

    // Without manage, nothing is ever converted (the user's choice to see the stored colours).
    explicit ShownColours(bool manage) : manage_(manage) {}

    // --- The worker's side ---

    // The bitmap is made, before anybody reads it: the conversion to use is chosen (none
    // without a description, for a helper's read-only pixels, or when nothing would change),
    // and a colour table is converted at once.
    void Start(Bitmap& bitmap);
    // Rows 0..to-1 are final: those of them wanted are converted before they are told final.
    void RowsFinal(Bitmap& bitmap, int to);
    // A preview decoded at a smaller scale, whole, before anybody reads it.
    void ConvertPreview(Bitmap& preview) const;
    // Before the bitmap is scaled down: a bitmap converted in part is converted whole, so that
    // the picture made from it is of one kind of colours.
    void PrepareToScale(Bitmap& bitmap);
    // The picture scaled from the bitmap, when the bitmap's own colours are still the file's.
    void ConvertPicture(ScaledPicture& picture) const;
    // After the decode: converts what is wanted, a band of a strip at a time, telling onChange
    // once what is watched is converted; returns when all is converted (at once when there is
    // nothing to convert), when cancelled, or when stop becomes true.
    void FollowUp(Bitmap& bitmap, const std::atomic<bool>& stop,
                  const std::function<void()>& onChange);

    // --- Everybody else's side ---

    // Whether the bitmap's pixels are converted only as they are wanted.
    bool Converting() const;
    // Of the rows final, how many from the top are in the colours shown in the columns
    // left..right-1.
    int RowsShown(int finalRows, int left = 0, int right = INT_MAX) const;
    // Asks for rows 0..rows-1 of the columns left..right-1 in the colours shown; onChange is
    // told once they are, when the follow-up converts them.
    void Want(int rows, int left = 0, int right = INT_MAX);
    // Blocks until the whole bitmap is in the colours shown (asking for it), or nothing more
    // will be converted; only once the decode has ended with a bitmap.
    void WaitForAll();
    void Cancel();

private:
    struct Strip {
        int wanted = 0;    // rows from the top wanted in the colours shown
        int converted = 0; // rows from the top converted
    };
    struct Area {
        int rows = 0;
        int left = 0;
        int right = 0;
    };

    // The strips the columns left..right-1 lie in.
    std::pair<std::size_t, std::size_t> StripsOf(int left, int right) const;
    int ConvertedIn(const Area& area) const;
    bool NothingConverted() const;
    // Converts the strip's rows up to the row given; the worker's alone.
    void ConvertStrip(Bitmap& bitmap, std::size_t strip, int to);

    const bool manage_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::shared_ptr<const ColourTransform> transform_; // none: nothing to convert
    int width_ = 0;
    int height_ = 0;
    std::vector<Strip> strips_;
    Area watched_;     // what onChange is to be told of; no rows: nothing
    Area wantedEarly_; // wanted before the bitmap was made
    bool cancelled_ = false;
    bool over_ = false; // the follow-up has returned: nothing more will be converted
};

} // namespace pirela
