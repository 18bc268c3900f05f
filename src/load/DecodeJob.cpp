#include "load/DecodeJob.h"

#include "image/CFile.h"
#include "image/ImageDecoder.h"
#include "image/ImageScaler.h"
#include "image/JpegReader.h"
#include "image/RawPreview.h"

#include <fcntl.h>
#include <unistd.h>

#include <climits>
#include <system_error>

namespace pirela {

namespace {

// The file for reading, when it is a regular file. Opened without waiting, so that a pipe put
// in an image's place can never hold the worker (and whoever waits for it) forever.
CFile OpenRegularFile(const std::string& path) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        return {};
    }
    struct stat status {};
    std::FILE* file = nullptr;
    if (::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode)) {
        file = ::fdopen(descriptor, "rb");
    }
    if (file == nullptr) {
        ::close(descriptor);
    }
    return CFile(file);
}

} // namespace

DecodeJob::FileState DecodeJob::StateOf(const struct stat& status) {
    return {{static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino),
             static_cast<std::int64_t>(status.st_size),
             static_cast<std::int64_t>(status.st_mtim.tv_sec),
             static_cast<std::int64_t>(status.st_mtim.tv_nsec)},
            static_cast<std::int64_t>(status.st_ctim.tv_sec),
            static_cast<std::int64_t>(status.st_ctim.tv_nsec)};
}

DecodeJob::DecodeJob(std::string path, ImageFormat format, bool withPreview,
                     std::optional<ViewPlan> plan, std::function<void()> onEnded,
                     DecodeSettings settings)
    : path_(std::move(path)), format_(format), withPreview_(withPreview), settings_(settings),
      plan_(plan), onEnded_(std::move(onEnded)) {
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

void DecodeJob::MarkOpened(std::optional<FileState> state) {
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
           openedState_ == StateOf(status);
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

JpegReadOptions DecodeJob::JpegOptions() const {
    JpegReadOptions options;
    options.applyOrientation = settings_.applyOrientation;
    options.orientation = jpegOrientation_;
    return options;
}

void DecodeJob::MakePreview(std::FILE* jpeg, const ViewPlan& plan) {
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

std::unique_ptr<Bitmap> DecodeJob::MakeJpegBitmap(std::FILE* jpeg) {
    JpegReadOptions options = JpegOptions();
    options.bitmapOnly = true;
    auto bitmap = ReadJpegStream(jpeg, options);
    std::rewind(jpeg);
    if (bitmap) {
        progress_.Started(*bitmap);
    }
    return bitmap;
}

std::unique_ptr<Bitmap> DecodeJob::DecodeFull(std::FILE* file, std::FILE* jpeg,
                                              std::unique_ptr<Bitmap> jpegBitmap) {
    if (format_ != ImageFormat::Jpeg && format_ != ImageFormat::Raw) {
        return DecodeImageStream(file, format_, {&progress_, settings_.applyOrientation});
    }
    if (jpeg == nullptr || !jpegBitmap) {
        return nullptr; // its header already said no, or a raw file holds no preview
    }
    JpegReadOptions options = JpegOptions();
    options.progress = &progress_;
    const bool decoded = ReadJpegStreamInto(jpeg, *jpegBitmap, options);
    return progress_.Outcome(decoded, std::move(jpegBitmap));
}

void DecodeJob::Run() {
    const CFile file = OpenRegularFile(path_);
    struct stat status {};
    MarkOpened(file && ::fstat(fileno(file.get()), &status) == 0
                   ? std::optional<FileState>(StateOf(status))
                   : std::nullopt);
    // A camera's raw file is shown through the JPEG preview inside it, read from memory.
    std::optional<RawPreview> raw;
    CFile rawJpeg;
    if (file && format_ == ImageFormat::Raw) {
        raw = ExtractRawPreview(fileno(file.get()));
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
