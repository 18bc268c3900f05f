#include "load/AnimationJob.h"

#include "colour/ColourTransform.h"
#include "colour/DisplayProfile.h"
#include "image/ImageScaler.h"
#include "platform/RegularFile.h"
#include "platform/UniqueDescriptor.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>

namespace pirela {

namespace {

struct Frame {
    ScaledPicture picture;
    int delayMs = 0;
    int number = 0;
};

std::size_t BytesOf(const ScaledPicture& picture) {
    return picture.pixels.size() * sizeof(std::uint32_t);
}

} // namespace

// What the worker and the view share; the worker keeps it alive when left to end by itself.
class AnimationJob::Work {
public:
    explicit Work(Setup setup) : setup_(std::move(setup)), due_(Clock::now()) {}

    void Run();
    void Stop() {
        {
            const std::lock_guard lock(mutex_);
            stop_ = true;
        }
        stopping_ = true;
        changed_.notify_all();
        // Once this returns, nobody is told any more.
        const std::lock_guard lock(callbackMutex_);
        setup_.onFrame = {};
    }
    bool WaitForWorker(std::chrono::milliseconds most) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, most, [&] { return done_; });
    }

    const ScaledPicture* Current() const {
        const std::lock_guard lock(mutex_);
        return current_ ? &current_->picture : nullptr;
    }
    int FrameNumber() const {
        const std::lock_guard lock(mutex_);
        return current_ ? current_->number : 1;
    }
    bool Advance(Clock::time_point now);
    std::optional<Clock::time_point> NextDue() const {
        const std::lock_guard lock(mutex_);
        return ahead_.empty() ? std::nullopt : std::optional(due_);
    }
    void SetDrawSize(PixelSize draw) {
        const std::lock_guard lock(mutex_);
        setup_.drawSize = draw;
    }
    int MostFramesHeld() const {
        const std::lock_guard lock(mutex_);
        return mostHeld_;
    }

private:
    // The frame as the view draws it: no larger than the draw size, in the colours shown.
    std::optional<ScaledPicture> PictureOf(const Bitmap& canvas);
    // Waits until there is room ahead; false when asked to stop.
    bool WaitForRoom();
    void Push(Frame frame);
    // Plays the frames to their end; false when the file holds one frame only, breaks off, or
    // a stop is asked for.
    bool Play(FrameSource& frames, bool first);

    Setup setup_;
    std::shared_ptr<const ColourTransform> transform_;
    mutable std::mutex mutex_;
    std::mutex callbackMutex_;
    std::condition_variable changed_;
    std::deque<Frame> ahead_;
    std::size_t bytesAhead_ = 0;
    std::optional<Frame> current_;
    Clock::time_point due_;
    int mostHeld_ = 1;
    bool stop_ = false;
    std::atomic<bool> stopping_{false}; // stop_, for the frames' own waits
    bool done_ = false;
};

std::optional<ScaledPicture> AnimationJob::Work::PictureOf(const Bitmap& canvas) {
    PixelSize draw;
    {
        const std::lock_guard lock(mutex_);
        draw = setup_.drawSize;
    }
    const int width = std::clamp(draw.width, 1, canvas.Width());
    const int height = std::clamp(draw.height, 1, canvas.Height());
    auto picture = ScaleDown(canvas, width, height);
    if (picture && transform_) {
        transform_->ConvertPicture(*picture);
    }
    return picture;
}

bool AnimationJob::Work::WaitForRoom() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] {
        return stop_ || ahead_.empty() ||
               (static_cast<int>(ahead_.size()) < kFramesAhead && bytesAhead_ < kBytesAhead);
    });
    return !stop_;
}

void AnimationJob::Work::Push(Frame frame) {
    bool tell = false;
    {
        const std::lock_guard lock(mutex_);
        tell = ahead_.empty(); // the view may be waiting for it
        bytesAhead_ += BytesOf(frame.picture);
        ahead_.push_back(std::move(frame));
        mostHeld_ = std::max(mostHeld_, static_cast<int>(ahead_.size()) + 1);
    }
    // Told with the lock held, so that once Stop has returned nobody is told any more.
    const std::lock_guard lock(callbackMutex_);
    if (tell && setup_.onFrame) {
        setup_.onFrame();
    }
}

bool AnimationJob::Work::Play(FrameSource& frames, bool first) {
    for (int number = 1;; ++number) {
        if (!WaitForRoom()) {
            return false;
        }
        int delayMs = 0;
        const Bitmap* canvas = frames.Next(delayMs);
        if (canvas == nullptr) {
            // A first play of one frame is no animation; a play again of none is broken off.
            return number > (first ? 2 : 1);
        }
        if (first && number == 1) {
            // The still decode shows the first frame; it stays for its own delay.
            const std::lock_guard lock(mutex_);
            due_ += std::chrono::milliseconds(delayMs);
            continue;
        }
        auto picture = PictureOf(*canvas);
        if (!picture) {
            return false;
        }
        Push(Frame{std::move(*picture), delayMs, number});
    }
}

void AnimationJob::Work::Run() {
    const UniqueDescriptor file(OpenRegularFile(setup_.path.c_str()));
    auto frames = file ? setup_.open(file.Get(), setup_.format, stopping_) : nullptr;
    if (frames && setup_.colour) {
        transform_ = ColourTransform::ToDisplay(*setup_.colour, DisplayProfile());
    }
    for (int play = 1; frames && Play(*frames, play == 1); ++play) {
        const int plays = frames->Plays();
        if ((plays != 0 && play >= plays) || !frames->Rewind()) {
            break;
        }
    }
    {
        const std::lock_guard lock(mutex_);
        done_ = true;
    }
    changed_.notify_all();
}

bool AnimationJob::Work::Advance(Clock::time_point now) {
    {
        const std::lock_guard lock(mutex_);
        if (ahead_.empty() || now < due_) {
            return false;
        }
        bytesAhead_ -= BytesOf(ahead_.front().picture);
        current_ = std::move(ahead_.front());
        ahead_.pop_front();
        // On time from the frame's due time; a view held up starts the delay afresh rather
        // than racing through the frames it missed.
        const auto delay = std::chrono::milliseconds(current_->delayMs);
        due_ = now - due_ > delay ? now + delay : due_ + delay;
    }
    changed_.notify_all();
    return true;
}

AnimationJob::AnimationJob(Setup setup) : work_(std::make_shared<Work>(std::move(setup))) {
    try {
        worker_ = std::thread([work = work_] { work->Run(); });
    } catch (const std::system_error&) {
        // No thread to be had: the first frame stays, as without animation.
    }
}

AnimationJob::~AnimationJob() {
    work_->Stop();
    if (!worker_.joinable()) {
        return;
    }
    // A worker stops between frames; one held in a long frame ends by itself.
    if (work_->WaitForWorker(std::chrono::milliseconds(3))) {
        worker_.join();
    } else {
        worker_.detach();
    }
}

const ScaledPicture* AnimationJob::Current() const {
    return work_->Current();
}

int AnimationJob::FrameNumber() const {
    return work_->FrameNumber();
}

bool AnimationJob::Advance(Clock::time_point now) {
    return work_->Advance(now);
}

std::optional<AnimationJob::Clock::time_point> AnimationJob::NextDue() const {
    return work_->NextDue();
}

void AnimationJob::SetDrawSize(PixelSize draw) {
    work_->SetDrawSize(draw);
}

int AnimationJob::MostFramesHeld() const {
    return work_->MostFramesHeld();
}

} // namespace pirela
