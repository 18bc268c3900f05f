#pragma once

#include "image/ColourDescription.h"
#include "image/FrameSource.h"
#include "image/ImageFormat.h"
#include "image/ScaledPicture.h"
#include "view/DrawGeometry.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

namespace pirela {

// An animated GIF or WebP file playing in the view. Its still decode shows the first frame; a
// worker of its own then decodes the frames that follow, a few ahead (kFramesAhead, at most
// kBytesAhead of them), each at the size it is drawn and in the colours shown, and the view
// takes each when its time has come. It plays as often as the file says, then stays on its
// last frame. Destroying it (paging away) stops it at once: the worker is asked to stop and
// never waited for longer than a moment.
class AnimationJob {
public:
    using Clock = std::chrono::steady_clock;
    // The frames of a file from its open descriptor, where they are decoded (none when it
    // cannot be read as an animation); `stop` becomes true when they are no longer wanted.
    using Opener = std::function<std::unique_ptr<FrameSource>(int descriptor, ImageFormat format,
                                                              const std::atomic<bool>& stop)>;

    static constexpr int kFramesAhead = 3;
    static constexpr std::size_t kBytesAhead = std::size_t{64} << 20;

    struct Setup {
        std::string path;
        ImageFormat format = ImageFormat::Gif;
        PixelSize drawSize; // what the frames are drawn at: they are made no larger
        std::shared_ptr<const ColourDescription> colour; // the file's, when converted
        Opener open;
        // Runs on the worker when a frame is decoded while the view has none to take; it must
        // not wait for anything.
        std::function<void()> onFrame;
    };

    explicit AnimationJob(Setup setup);
    ~AnimationJob();
    AnimationJob(const AnimationJob&) = delete;
    AnimationJob& operator=(const AnimationJob&) = delete;

    // The frame to show in the still picture's place; none while the first frame shows.
    const ScaledPicture* Current() const;
    // Which frame shows, counting from 1 in each play.
    int FrameNumber() const;
    // Shows the next frame when its time has come and it is decoded; whether one came.
    bool Advance(Clock::time_point now);
    // When the next frame is due: none while it is still being decoded (onFrame then tells),
    // and none once the animation has ended or the file holds one frame only.
    std::optional<Clock::time_point> NextDue() const;
    // The frames that follow are made at this size.
    void SetDrawSize(PixelSize draw);
    // The most frames held at once so far, the one shown included.
    int MostFramesHeld() const;

private:
    class Work;
    std::shared_ptr<Work> work_;
    std::thread worker_;
};

} // namespace pirela
