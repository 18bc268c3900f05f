#pragma once

#include "image/DecodeProgress.h"
#include "image/ImageFormat.h"
#include "image/JpegReader.h"
#include "image/ScaledPicture.h"
#include "load/DecodeSettings.h"
#include "load/ShownColours.h"
#include "load/ViewPlan.h"
#include "sandbox/HelperFailure.h"

#include <climits>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

namespace pirela {

// One image file decoded on a thread of its own, while the program goes on. In order, the
// worker:
//  1. opens the file and notes which file it is (device, inode, size, modification time);
//  2. when a preview is asked for and the view draws the image smaller than itself: decodes a
//     JPEG (or a camera's JPEG preview inside its raw file) at the smallest library scale still
//     at least the draw size (a fraction of the time);
//  3. decodes the full bitmap, its rows top first, each band waitable as soon as it is final
//     (the camera roll's formats are decoded by a helper process, and their rows are all final
//     at once, when its answer comes);
//  4. when the view draws the image smaller than itself: scales the full bitmap down to the
//     draw size, so that the view only has to paint it;
//  5. when the file describes its colours, converts them to the display's as ShownColours
//     says (the preview and the picture at the draw size; of the bitmap only the rows wanted,
//     as they become final), and after the decode waits to convert more rows when they are
//     wanted.
// The draw size comes from the view plan, which may be given later (a job started before the
// window exists waits for it before step 2) and changed while the job runs (step 4 takes the
// latest). Every result stays alive and unchanged until the job is destroyed.
//
// Destroying a job never waits on its worker for more than a moment: the worker is asked to
// stop at its next band of rows, and one that does not end at once (a read held by a dying
// disk or a hung network mount) is left to end by itself, with what it shares and nobody to
// tell.
class DecodeJob {
public:
    // onEnded runs on the worker thread once everything is done (or given up); onChange runs
    // there when the preview is settled and when rows asked for by WatchRows are final. Both
    // may be empty, and neither may wait for anything. The settings are the user's choices the
    // bitmap depends on.
    DecodeJob(std::string path, ImageFormat format, bool withPreview,
              std::optional<ViewPlan> plan, std::function<void()> onEnded = {},
              std::function<void()> onChange = {}, DecodeSettings settings = {});
    ~DecodeJob();
    DecodeJob(const DecodeJob&) = delete;
    DecodeJob& operator=(const DecodeJob&) = delete;

    const std::string& Path() const;
    ImageFormat Format() const;
    // Whether a helper process makes the bitmap: then it comes only when the helper answers,
    // and nobody on the window's thread may wait for it.
    bool InHelper() const;
    const DecodeSettings& Settings() const;
    void SetPlan(const ViewPlan& plan);
    // Replaces what runs on the worker at the end (a job started before its owner existed).
    void SetOnEnded(std::function<void()> onEnded);
    void SetOnChange(std::function<void()> onChange);
    // Asks the worker to give up: the decode then ends without a bitmap.
    void Stop();

    // Whether the file at the path is still the one this job decodes: false when it has gone,
    // was replaced, or changed size or modification time since the job opened it (or the job
    // could not open it). Waits until the job has opened the file.
    bool MatchesFileOnDisk() const;

    // Blocks until the preview is made or known not to come; the preview, or none.
    const Bitmap* WaitForPreview() const;
    // Without waiting: whether the preview is made or known not to come, and the preview.
    bool PreviewSettled() const;
    const Bitmap* PreviewSoFar() const;
    // The full bitmap as it is being filled: rows the progress reports final may be read.
    const DecodeProgress& Progress() const;
    bool HasEnded() const;
    // The rows of the full bitmap, from the top, that are final and in the colours shown (only
    // those may be shown) in the columns left..right-1; INT_MAX once all of the bitmap is.
    int ShownRows(int left = 0, int right = INT_MAX) const;
    // Has onChange run once rows 0..rows-1 of the columns left..right-1 are shown or the decode
    // is over; asks for their colours.
    void WatchRows(int rows, int left = 0, int right = INT_MAX) const;
    // Blocks until the job has ended; the full bitmap, or none when the file could not be
    // decoded. Its colours may still be the file's (see WaitForShownBitmap).
    const Bitmap* WaitForBitmap() const;
    // The same, in the colours shown: converts what was left for later and waits for it.
    const Bitmap* WaitForShownBitmap() const;
    // After the end without a bitmap: why the helper gave none (None for formats decoded in
    // Pirela, and for a decode that was stopped).
    HelperFailure Failure() const;
    // After the end: the full bitmap scaled down to the draw size of the plan it ended with,
    // when the view draws it smaller than itself; none otherwise.
    const ScaledPicture* Prepared() const;

private:
    class Work;
    std::shared_ptr<Work> work_;
    std::thread worker_;
};

} // namespace pirela
