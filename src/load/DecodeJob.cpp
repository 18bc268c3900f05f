#include "load/DecodeJob.h"

#include "image/CFile.h"
#include "image/ImageDecoder.h"
#include "image/ImageScaler.h"
#include "image/JpegReader.h"
#include "image/RawPreview.h"
#include "platform/FileIdentity.h"
#include "platform/RegularFile.h"
#include "sandbox/HelperDecode.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <mutex>
#include <system_error>

namespace pirela {

namespace {

// The file for reading, when it is a regular file; a pipe put in an image's place can never
// hold the worker (and whoever waits for it) forever.
CFile OpenForDecoding(const std::string& path) {
    const int descriptor = OpenRegularFile(path.c_str());
    std::FILE* file = descriptor < 0 ? nullptr : ::fdopen(descriptor, "rb");
    if (descriptor >= 0 && file == nullptr) {
        ::close(descriptor);
    }
    return CFile(file);
}

} // namespace

// Everything the worker touches. The job and its worker share it, so that a worker left to end
// by itself still finds it.
class DecodeJob::Work {
public:
    Work(std::string path, ImageFormat format, bool withPreview, std::optional<ViewPlan> plan,
         std::function<void()> onEnded, std::function<void()> onChange, DecodeSettings settings);

    void Run();
    // The job is going: no more telling anybody, and the worker stops at its next chance.
    void Abandon();
    void Notify(const std::function<void()> Work::*which);

    std::optional<ViewPlan> WaitForPlan();
    std::optional<ViewPlan> CurrentPlan() const;
    JpegReadOptions JpegOptions() const;
    std::unique_ptr<Bitmap> MakeJpegBitmap(std::FILE* jpeg);
    std::unique_ptr<Bitmap> DecodeFull(std::FILE* file, std::FILE* jpeg,
                                       std::unique_ptr<Bitmap> jpegBitmap);
    void MakePreview(std::FILE* jpeg, const ViewPlan& plan);
    void PrepareScaled(Bitmap& bitmap);
    // Which file the job opened, and in what state.
    void MarkOpened(std::optional<FileIdentity> state);
    void MarkPreviewSettled();
    // The bitmap's colours, before anybody reads it: rows 0 to 0 when it is made.
    void FinishRows(Bitmap& bitmap, int from, int to);
    void MarkWorkerDone();
    bool WaitForWorker(std::chrono::milliseconds most) const;

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
    // Whom to tell, under a lock of their own, held while they are told: a callback may ask
    // the job anything.
    std::mutex callbackMutex_;
    std::function<void()> onEnded_;
    std::function<void()> onChange_;
    bool opened_ = false;
    std::optional<FileIdentity> openedState_;
    bool previewSettled_ = false;
    bool workerDone_ = false;
    std::unique_ptr<Bitmap> preview_;
    std::unique_ptr<Bitmap> bitmap_;
    std::optional<ScaledPicture> prepared_;
    // Why a helper gave no picture; only the worker touches it until the end.
    HelperFailure failure_ = HelperFailure::None;

    DecodeProgress progress_;
    DecodeProgress previewProgress_; // only to stop the preview's decode
    ShownColours colours_;
};

DecodeJob::Work::Work(std::string path, ImageFormat format, bool withPreview,
                      std::optional<ViewPlan> plan, std::function<void()> onEnded,
                      std::function<void()> onChange, DecodeSettings settings)
    : path_(std::move(path)), format_(format), withPreview_(withPreview), settings_(settings),
      plan_(plan), onEnded_(std::move(onEnded)), onChange_(std::move(onChange)),
      colours_(settings.manageColour) {
    progress_.SetWatcher([this] { Notify(&Work::onChange_); });
    progress_.SetFinisher(
        [this](Bitmap& bitmap, int from, int to) { FinishRows(bitmap, from, to); });
}

void DecodeJob::Work::FinishRows(Bitmap& bitmap, int from, int to) {
    if (from == 0 && to == 0) {
        colours_.Start(bitmap);
        // Drawn at its size, the view will want the part at the top left first (its first
        // paint may come only once the window is made): converted as the rows come.
        const std::optional<ViewPlan> plan = CurrentPlan();
        if (plan && !DrawnSmallerUnturned(*plan, PixelSize{bitmap.Width(), bitmap.Height()})) {
            colours_.Want(plan->client.height, 0, plan->client.width);
        }
    } else {
        colours_.RowsFinal(bitmap, to);
    }
}

void DecodeJob::Work::MarkWorkerDone() {
    {
        const std::lock_guard lock(mutex_);
        workerDone_ = true;
    }
    changed_.notify_all();
}

bool DecodeJob::Work::WaitForWorker(std::chrono::milliseconds most) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, most, [&] { return workerDone_; });
}

void DecodeJob::Work::Abandon() {
    progress_.RequestStop();
    previewProgress_.RequestStop();
    colours_.Cancel();
    {
        const std::lock_guard lock(callbackMutex_);
        onEnded_ = {};
        onChange_ = {};
    }
    // Wakes a worker still waiting for its plan.
    changed_.notify_all();
}

void DecodeJob::Work::Notify(const std::function<void()> Work::*which) {
    // Told with the lock held, so that once Abandon has returned nobody is told any more.
    const std::lock_guard lock(callbackMutex_);
    if (this->*which) {
        (this->*which)();
    }
}

DecodeJob::DecodeJob(std::string path, ImageFormat format, bool withPreview,
                     std::optional<ViewPlan> plan, std::function<void()> onEnded,
                     std::function<void()> onChange, DecodeSettings settings)
    : work_(std::make_shared<Work>(std::move(path), format, withPreview, plan,
                                   std::move(onEnded), std::move(onChange), settings)) {
    try {
        worker_ = std::thread([work = work_] { work->Run(); });
    } catch (const std::system_error&) {
        work_->Run(); // no thread to be had: the decode happens here and now
    }
}

DecodeJob::~DecodeJob() {
    work_->Abandon();
    if (!worker_.joinable()) {
        return;
    }
    // A worker stops within a band of rows; one held in a read longer than that ends by itself.
    constexpr auto kStopWait = std::chrono::milliseconds(3);
    if (work_->WaitForWorker(kStopWait)) {
        worker_.join();
    } else {
        worker_.detach();
    }
}

const std::string& DecodeJob::Path() const {
    return work_->path_;
}

ImageFormat DecodeJob::Format() const {
    return work_->format_;
}

bool DecodeJob::InHelper() const {
    return DecodesInHelper(work_->format_);
}

HelperFailure DecodeJob::Failure() const {
    return work_->progress_.HasEnded() ? work_->failure_ : HelperFailure::None;
}

const DecodeSettings& DecodeJob::Settings() const {
    return work_->settings_;
}

void DecodeJob::Stop() {
    work_->progress_.RequestStop();
    work_->previewProgress_.RequestStop();
    work_->colours_.Cancel();
    work_->changed_.notify_all();
}

const DecodeProgress& DecodeJob::Progress() const {
    return work_->progress_;
}

bool DecodeJob::HasEnded() const {
    return work_->progress_.HasEnded();
}

void DecodeJob::WatchRows(int rows, int left, int right) const {
    // The rows' colours are converted as they are wanted: during the decode before they are
    // told final, after it by the follow-up, which tells.
    ShownColours& colours = work_->colours_;
    colours.Want(rows, left, right);
    if (!colours.Converting()) {
        work_->progress_.WatchRows(rows);
        return;
    }
    if (!work_->progress_.HasEnded()) {
        work_->progress_.WatchRows(std::max(rows, work_->progress_.FinishedRows() + 1));
    }
}

int DecodeJob::ShownRows(int left, int right) const {
    if (HasEnded() && WaitForBitmap() != nullptr) {
        if (work_->colours_.RowsShown(INT_MAX) >= WaitForBitmap()->Height()) {
            return INT_MAX;
        }
        return work_->colours_.RowsShown(INT_MAX, left, right);
    }
    return work_->colours_.RowsShown(work_->progress_.FinishedRows(), left, right);
}

const Bitmap* DecodeJob::WaitForShownBitmap() const {
    const Bitmap* bitmap = WaitForBitmap();
    if (bitmap != nullptr) {
        work_->colours_.WaitForAll();
    }
    return bitmap;
}

void DecodeJob::SetPlan(const ViewPlan& plan) {
    {
        const std::lock_guard lock(work_->mutex_);
        work_->plan_ = plan;
    }
    work_->changed_.notify_all();
}

void DecodeJob::SetOnEnded(std::function<void()> onEnded) {
    const std::lock_guard lock(work_->callbackMutex_);
    work_->onEnded_ = std::move(onEnded);
}

void DecodeJob::SetOnChange(std::function<void()> onChange) {
    const std::lock_guard lock(work_->callbackMutex_);
    work_->onChange_ = std::move(onChange);
}

std::optional<ViewPlan> DecodeJob::Work::WaitForPlan() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return plan_.has_value() || progress_.StopRequested(); });
    return plan_;
}

std::optional<ViewPlan> DecodeJob::Work::CurrentPlan() const {
    const std::lock_guard lock(mutex_);
    return plan_;
}

void DecodeJob::Work::MarkOpened(std::optional<FileIdentity> state) {
    {
        const std::lock_guard lock(mutex_);
        opened_ = true;
        openedState_ = state;
    }
    changed_.notify_all();
}

void DecodeJob::Work::MarkPreviewSettled() {
    {
        const std::lock_guard lock(mutex_);
        previewSettled_ = true;
    }
    changed_.notify_all();
    if (withPreview_) {
        Notify(&Work::onChange_); // a view may be showing nothing until it comes
    }
}

bool DecodeJob::MatchesFileOnDisk() const {
    std::unique_lock lock(work_->mutex_);
    work_->changed_.wait(lock, [&] { return work_->opened_; });
    struct stat status {};
    return work_->openedState_.has_value() && ::stat(work_->path_.c_str(), &status) == 0 &&
           work_->openedState_ == FileIdentity::FromStatus(status);
}

const Bitmap* DecodeJob::WaitForPreview() const {
    std::unique_lock lock(work_->mutex_);
    work_->changed_.wait(lock, [&] { return work_->previewSettled_; });
    return work_->preview_.get();
}

bool DecodeJob::PreviewSettled() const {
    const std::lock_guard lock(work_->mutex_);
    return work_->previewSettled_;
}

const Bitmap* DecodeJob::PreviewSoFar() const {
    const std::lock_guard lock(work_->mutex_);
    return work_->previewSettled_ ? work_->preview_.get() : nullptr;
}

const Bitmap* DecodeJob::WaitForBitmap() const {
    work_->progress_.WaitForRows(INT_MAX);
    const std::lock_guard lock(work_->mutex_);
    return work_->bitmap_.get();
}

const ScaledPicture* DecodeJob::Prepared() const {
    if (!work_->progress_.HasEnded()) {
        return nullptr;
    }
    const std::lock_guard lock(work_->mutex_);
    return work_->prepared_ ? &*work_->prepared_ : nullptr;
}

JpegReadOptions DecodeJob::Work::JpegOptions() const {
    JpegReadOptions options;
    options.applyOrientation = settings_.applyOrientation;
    options.orientation = jpegOrientation_;
    return options;
}

void DecodeJob::Work::MakePreview(std::FILE* jpeg, const ViewPlan& plan) {
    JpegReadOptions options = JpegOptions();
    options.smallestWanted = [&plan](int width, int height) {
        const PixelSize image{width, height};
        const PixelSize draw =
            DrawnSmallerUnturned(plan, image) ? DrawSizeUnder(plan, image) : image;
        return std::pair{draw.width, draw.height};
    };
    options.onlyWhenSmaller = true;
    options.progress = &previewProgress_;
    auto preview = ReadJpegStream(jpeg, options);
    std::rewind(jpeg);
    if (preview) {
        colours_.ConvertPreview(*preview);
    }
    const std::lock_guard lock(mutex_);
    preview_ = std::move(preview);
}

void DecodeJob::Work::PrepareScaled(Bitmap& bitmap) {
    const std::optional<ViewPlan> plan = CurrentPlan();
    const PixelSize image{bitmap.Width(), bitmap.Height()};
    if (!plan || !DrawnSmallerUnturned(*plan, image)) {
        return;
    }
    const PixelSize draw = DrawSizeUnder(*plan, image);
    colours_.PrepareToScale(bitmap);
    auto scaled = ScaleDown(bitmap, draw.width, draw.height, &progress_.StopFlag());
    if (scaled) {
        colours_.ConvertPicture(*scaled);
    }
    const std::lock_guard lock(mutex_);
    prepared_ = std::move(scaled);
}

std::unique_ptr<Bitmap> DecodeJob::Work::MakeJpegBitmap(std::FILE* jpeg) {
    JpegReadOptions options = JpegOptions();
    options.bitmapOnly = true;
    auto bitmap = ReadJpegStream(jpeg, options);
    std::rewind(jpeg);
    if (bitmap) {
        progress_.Started(*bitmap);
    }
    return bitmap;
}

std::unique_ptr<Bitmap> DecodeJob::Work::DecodeFull(std::FILE* file, std::FILE* jpeg,
                                                    std::unique_ptr<Bitmap> jpegBitmap) {
    if (format_ != ImageFormat::Jpeg && format_ != ImageFormat::Raw) {
        const ReadOptions options{&progress_, settings_.applyOrientation};
        return DecodesInHelper(format_) ? DecodeInHelper(fileno(file), format_, options,
                                                         DecoderPool::Shared(), &failure_)
                                        : DecodeImageStream(file, format_, options);
    }
    if (jpeg == nullptr || !jpegBitmap) {
        return nullptr; // its header already said no, or a raw file holds no preview
    }
    JpegReadOptions options = JpegOptions();
    options.progress = &progress_;
    const bool decoded = ReadJpegStreamInto(jpeg, *jpegBitmap, options);
    return progress_.Outcome(decoded, std::move(jpegBitmap));
}

void DecodeJob::Work::Run() {
    const CFile file = OpenForDecoding(path_);
    struct stat status {};
    MarkOpened(file && ::fstat(fileno(file.get()), &status) == 0
                   ? std::optional<FileIdentity>(FileIdentity::FromStatus(status))
                   : std::nullopt);
    // A camera's raw file is shown through the JPEG preview inside it: a helper finds it, our
    // own JPEG reader decodes it from memory.
    std::optional<RawPreview> raw;
    CFile rawJpeg;
    if (file && format_ == ImageFormat::Raw) {
        raw = ExtractRawPreviewInHelper(fileno(file.get()), &progress_.StopFlag(),
                                        DecoderPool::Shared(), &failure_);
        if (raw) {
            jpegOrientation_ = raw->orientation;
            rawJpeg.reset(::fmemopen(raw->jpeg.data(), raw->jpeg.size(), "rb"));
        }
    }
    std::FILE* jpeg = format_ == ImageFormat::Jpeg ? file.get() : rawJpeg.get();
    // A JPEG's bitmap is made from its header at once, before any preview, so that whoever
    // waits for the bitmap learns the image's size and depth (or that it cannot be decoded)
    // without waiting for a decode.
    std::unique_ptr<Bitmap> jpegBitmap;
    if (jpeg != nullptr) {
        jpegBitmap = MakeJpegBitmap(jpeg);
    }
    if (jpegBitmap && withPreview_) {
        if (const std::optional<ViewPlan> plan = WaitForPlan(); plan && !progress_.StopRequested()) {
            MakePreview(jpeg, *plan);
        }
    }
    MarkPreviewSettled();
    std::unique_ptr<Bitmap> bitmap;
    if (file && !progress_.StopRequested()) {
        bitmap = DecodeFull(file.get(), jpeg, std::move(jpegBitmap));
        if (bitmap && !progress_.StopRequested()) {
            PrepareScaled(*bitmap);
        }
    } else if (jpegBitmap) {
        bitmap = progress_.Outcome(false, std::move(jpegBitmap)); // stopped: kept, not given
    }
    Bitmap* made = bitmap.get();
    {
        const std::lock_guard lock(mutex_);
        bitmap_ = std::move(bitmap);
    }
    progress_.Ended();
    Notify(&Work::onEnded_);
    if (made != nullptr) {
        colours_.FollowUp(*made, progress_.StopFlag(), [this] { Notify(&Work::onChange_); });
    }
    MarkWorkerDone();
}

} // namespace pirela
