#pragma once

#include "image/Bitmap.h"
#include "image/DecodeProgress.h"
#include "image/ImageFormat.h"
#include "image/JpegReader.h"
#include "image/ScaledPicture.h"
#include "load/DecodeSettings.h"
#include "load/ViewPlan.h"
#include "platform/FileIdentity.h"

#include <sys/stat.h>

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
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
//  3. decodes the full bitmap, its rows top first, each band waitable as soon as it is final;
//  4. when the view draws the image smaller than itself: scales the full bitmap down to the
//     draw size, so that the view only has to paint it.
// The draw size comes from the view plan, which may be given later (a job started before the
// window exists waits for it before step 2) and changed while the job runs (step 4 takes the
// latest). Every result stays alive and unchanged until the job is destroyed. Destroying a job
// stops its worker at the next band of rows and waits for it.
class DecodeJob {
public:
    // onEnded runs on the worker thread once everything is done (or given up); it may be empty.
    DecodeJob(std::string path, ImageFormat format, bool withPreview,
              std::optional<ViewPlan> plan, std::function<void()> onEnded = {},
              DecodeSettings settings = {});
    ~DecodeJob();
    DecodeJob(const DecodeJob&) = delete;
    DecodeJob& operator=(const DecodeJob&) = delete;

    const std::string& Path() const { return path_; }
    ImageFormat Format() const { return format_; }
    const DecodeSettings& Settings() const { return settings_; }
    void SetPlan(const ViewPlan& plan);
    // Replaces what runs on the worker at the end (a job started before its owner existed).
    void SetOnEnded(std::function<void()> onEnded);

    // Whether the file at the path is still the one this job decodes: false when it has gone,
    // was replaced, or changed size or modification time since the job opened it (or the job
    // could not open it). Waits until the job has opened the file.
    bool MatchesFileOnDisk() const;

    // Blocks until the preview is made or known not to come; the preview, or none.
    const Bitmap* WaitForPreview() const;
    // The full bitmap as it is being filled: rows the progress reports final may be read.
    const DecodeProgress& Progress() const { return progress_; }
    bool HasEnded() const { return progress_.HasEnded(); }
    // Blocks until the job has ended; the full bitmap, or none when the file could not be
    // decoded.
    const Bitmap* WaitForBitmap() const;
    // After the end: the full bitmap scaled down to the draw size of the plan it ended with,
    // when the view draws it smaller than itself; none otherwise.
    const ScaledPicture* Prepared() const;

private:
    void Run();
    std::optional<ViewPlan> WaitForPlan();
    std::optional<ViewPlan> CurrentPlan() const;
    JpegReadOptions JpegOptions() const;
    std::unique_ptr<Bitmap> MakeJpegBitmap(std::FILE* jpeg);
    std::unique_ptr<Bitmap> DecodeFull(std::FILE* file, std::FILE* jpeg,
                                       std::unique_ptr<Bitmap> jpegBitmap);
    void MakePreview(std::FILE* jpeg, const ViewPlan& plan);
    void PrepareScaled(const Bitmap& bitmap);
    // Which file the job opened and in what state: besides identity, size and modification
    // time, the change time, which no writer can set back.
    struct FileState {
        FileIdentity identity;
        std::int64_t changedSeconds = 0;
        std::int64_t changedNanoseconds = 0;
        bool operator==(const FileState&) const = default;
    };
    static FileState StateOf(const struct stat& status);
    void MarkOpened(std::optional<FileState> state);
    void MarkPreviewSettled();

    const std::string path_;
    const ImageFormat format_;
    const bool withPreview_;
    const DecodeSettings settings_;
    // The orientation a camera's raw file gives its JPEG preview (0 for a JPEG file's own);
    // only the worker touches it.
    int jpegOrientation_ = 0;

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::optional<ViewPlan> plan_;
    std::function<void()> onEnded_;
    bool opened_ = false;
    std::optional<FileState> openedState_;
    bool previewSettled_ = false;
    std::unique_ptr<Bitmap> preview_;
    std::unique_ptr<Bitmap> bitmap_;
    std::optional<ScaledPicture> prepared_;

    DecodeProgress progress_;
    DecodeProgress previewProgress_; // only to stop the preview's decode
    std::thread worker_;
};

} // namespace pirela
