#pragma once

#include "colour/ColourTransform.h"
#include "image/Bitmap.h"
#include "image/ScaledPicture.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

namespace pirela {

// The colours a decode's pictures are shown in: a photo whose file describes its colours is
// converted to the display's on the decode's worker, never on the window's thread, and only as
// much as is shown. Drawn smaller than itself, only the picture at the draw size (and the
// preview) is converted: a screenful of pixels, not the whole photo. Drawn at its size or
// larger, the bitmap's rows are converted as they become final. When the whole bitmap is wanted
// later (a zoom, the clipboard, a turn), the worker converts the rest of it, a band at a time.
//
// The worker calls Start, RowsFinal, ConvertPreview, ConvertPicture and FollowUp; any thread
// may ask how far the shown colours are, want the rest, wait for it, or cancel.
class ShownColours {
public:
    // Without manage, nothing is ever converted (the user's choice to see the stored colours).
    explicit ShownColours(bool manage) : manage_(manage) {}

    // --- The worker's side ---

    // The bitmap is made, before anybody reads it: the conversion to use is chosen (none
    // without a description, for a helper's read-only pixels, or when nothing would change),
    // and a colour table is converted at once.
    void Start(Bitmap& bitmap);
    // Rows from..to-1 are final. They are converted now unless the picture is drawn smaller
    // and nobody wants them (drawnSmaller is asked once, at the first rows).
    void RowsFinal(Bitmap& bitmap, int from, int to, const std::function<bool()>& drawnSmaller);
    // A preview decoded at a smaller scale, whole, before anybody reads it.
    void ConvertPreview(Bitmap& preview) const;
    // The picture scaled from the bitmap, when the bitmap itself was not converted.
    void ConvertPicture(ScaledPicture& picture) const;
    // After the decode: waits until the rest of the bitmap is wanted, then converts it a band
    // at a time, telling onChange after each; returns at once when nothing is left to do, and
    // when cancelled or stop becomes true.
    void FollowUp(Bitmap& bitmap, const std::atomic<bool>& stop,
                  const std::function<void()>& onChange);

    // --- Everybody else's side ---

    // Whether only the picture at the draw size is converted so far, the rest waiting.
    bool Deferred() const;
    // Of the rows final, how many from the top are in the colours shown.
    int RowsShown(int finalRows) const;
    // Asks for the whole bitmap in the colours shown; onChange is told when rows 0..rows-1 are.
    void Want(int rows);
    // Blocks until the whole bitmap is in the colours shown (asking for it), or nothing more
    // will be converted; only once the decode has ended with a bitmap.
    void WaitForAll();
    void Cancel();

private:
    bool Converting() const { return transform_ && (!deferred_ || wanted_); }
    void ConvertRows(Bitmap& bitmap, int to);

    const bool manage_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::shared_ptr<const ColourTransform> transform_; // none: nothing to convert
    int height_ = 0;
    bool decided_ = false; // whether deferred_ is settled
    bool deferred_ = false;
    bool wanted_ = false;
    int watched_ = 0; // rows onChange is to be told of; 0: none
    int converted_ = 0;
    bool cancelled_ = false;
    bool over_ = false; // the follow-up has returned: nothing more will be converted
};

} // namespace pirela
