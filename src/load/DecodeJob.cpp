#include "load/DecodeJob.h"

#include "image/CFile.h"
#include "image/ImageDecoder.h"
#include "image/ImageScaler.h"
#include "image/JpegReader.h"
#include "platform/RegularFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <climits>
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

DecodeJob::DecodeJob(std::string path, ImageFormat format, bool withPreview,
                     std::optional<ViewPlan> plan, std::function<void()> onEnded)
    : path_(std::move(path)), format_(format), withPreview_(withPreview), plan_(plan),
      onEnded_(std::move(onEnded)) {
    try {
        worker_ = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        Run(); // no thread to be had: the decode happens here and now
    }
}

DecodeJob::~DecodeJob() {
    progress_.RequestStop();
    previewProgress_.RequestStop();
    {
        const std::lock_guard lock(mutex_);
        // Wakes a worker still waiting for its plan.
        changed_.notify_all();
    }
    if (worker_.joinable()) {
        worker_.join();
    }
}

void DecodeJob::SetPlan(const ViewPlan& plan) {
    {
        const std::lock_guard lock(mutex_);
        plan_ = plan;
    }
    changed_.notify_all();
}

void DecodeJob::SetOnEnded(std::function<void()> onEnded) {
    const std::lock_guard lock(mutex_);
    onEnded_ = std::move(onEnded);
}

std::optional<ViewPlan> DecodeJob::WaitForPlan() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return plan_.has_value() || progress_.StopRequested(); });
    return plan_;
}

std::optional<ViewPlan> DecodeJob::CurrentPlan() const {
    const std::lock_guard lock(mutex_);
    return plan_;
}

void DecodeJob::MarkOpened(std::optional<FileIdentity> state) {
    {
        const std::lock_guard lock(mutex_);
        opened_ = true;
        openedState_ = state;
    }
    changed_.notify_all();
}

void DecodeJob::MarkPreviewSettled() {
    {
        const std::lock_guard lock(mutex_);
        previewSettled_ = true;
    }
    changed_.notify_all();
}

bool DecodeJob::MatchesFileOnDisk() const {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return opened_; });
    struct stat status {};
    return openedState_.has_value() && ::stat(path_.c_str(), &status) == 0 &&
           openedState_ == FileIdentity::FromStatus(status);
}

const Bitmap* DecodeJob::WaitForPreview() const {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return previewSettled_; });
    return preview_.get();
}

const Bitmap* DecodeJob::WaitForBitmap() const {
    progress_.WaitForRows(INT_MAX);
    const std::lock_guard lock(mutex_);
    return bitmap_.get();
}

const ScaledPicture* DecodeJob::Prepared() const {
    if (!progress_.HasEnded()) {
        return nullptr;
    }
    const std::lock_guard lock(mutex_);
    return prepared_ ? &*prepared_ : nullptr;
}

void DecodeJob::MakePreview(std::FILE* file, const ViewPlan& plan) {
    JpegReadOptions options;
    options.smallestWanted = [&plan](int width, int height) {
        const PixelSize image{width, height};
        const PixelSize draw =
            DrawnSmallerUnturned(plan, image) ? DrawSizeUnder(plan, image) : image;
        return std::pair{draw.width, draw.height};
    };
    options.onlyWhenSmaller = true;
    options.progress = &previewProgress_;
    auto preview = ReadJpegStream(file, options);
    std::rewind(file);
    const std::lock_guard lock(mutex_);
    preview_ = std::move(preview);
}

void DecodeJob::PrepareScaled(const Bitmap& bitmap) {
    const std::optional<ViewPlan> plan = CurrentPlan();
    const PixelSize image{bitmap.Width(), bitmap.Height()};
    if (!plan || !DrawnSmallerUnturned(*plan, image)) {
        return;
    }
    const PixelSize draw = DrawSizeUnder(*plan, image);
    auto scaled = ScaleDown(bitmap, draw.width, draw.height, &progress_.StopFlag());
    const std::lock_guard lock(mutex_);
    prepared_ = std::move(scaled);
}

std::unique_ptr<Bitmap> DecodeJob::MakeJpegBitmap(std::FILE* file) {
    JpegReadOptions options;
    options.bitmapOnly = true;
    auto bitmap = ReadJpegStream(file, options);
    std::rewind(file);
    if (bitmap) {
        progress_.Started(*bitmap);
    }
    return bitmap;
}

std::unique_ptr<Bitmap> DecodeJob::DecodeFull(std::FILE* file, std::unique_ptr<Bitmap> jpegBitmap) {
    if (format_ != ImageFormat::Jpeg) {
        return DecodeImageStream(file, format_, &progress_);
    }
    if (!jpegBitmap) {
        return nullptr; // its header already said no
    }
    JpegReadOptions options;
    options.progress = &progress_;
    const bool decoded = ReadJpegStreamInto(file, *jpegBitmap, options);
    return progress_.Outcome(decoded, std::move(jpegBitmap));
}

void DecodeJob::Run() {
    const CFile file = OpenForDecoding(path_);
    struct stat status {};
    MarkOpened(file && ::fstat(fileno(file.get()), &status) == 0
                   ? std::optional<FileIdentity>(FileIdentity::FromStatus(status))
                   : std::nullopt);
    // A JPEG's bitmap is made from its header at once, before any preview, so that whoever
    // waits for the bitmap learns the image's size and depth (or that it cannot be decoded)
    // without waiting for a decode.
    std::unique_ptr<Bitmap> jpegBitmap;
    if (file && format_ == ImageFormat::Jpeg) {
        jpegBitmap = MakeJpegBitmap(file.get());
    }
    if (jpegBitmap && withPreview_) {
        if (const std::optional<ViewPlan> plan = WaitForPlan(); plan && !progress_.StopRequested()) {
            MakePreview(file.get(), *plan);
        }
    }
    MarkPreviewSettled();
    std::unique_ptr<Bitmap> bitmap;
    if (file && !progress_.StopRequested()) {
        bitmap = DecodeFull(file.get(), std::move(jpegBitmap));
        if (bitmap && !progress_.StopRequested()) {
            PrepareScaled(*bitmap);
        }
    } else if (jpegBitmap) {
        bitmap = progress_.Outcome(false, std::move(jpegBitmap)); // stopped: kept, not given
    }
    {
        const std::lock_guard lock(mutex_);
        bitmap_ = std::move(bitmap);
    }
    std::function<void()> onEnded;
    {
        const std::lock_guard lock(mutex_);
        onEnded = onEnded_;
    }
    progress_.Ended();
    if (onEnded) {
        onEnded();
    }
}

} // namespace pirela
