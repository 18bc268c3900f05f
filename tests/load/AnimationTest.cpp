#include "image/FrameSource.h"
#include "image/ImageDecoder.h"
#include "load/AnimationJob.h"
#include "support/CameraFixtures.h"
#include "support/TempDir.h"

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

namespace pirela {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Black, red, green, blue.
const std::vector<std::uint8_t> kColours{0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255};

// Red, then a green square over its middle (left there), then blue over the left half that
// goes again, each with its own delay.
void WriteThreeFrames(const fs::path& file, int loops) {
    test::WriteAnimatedGif(file, 4, 4, kColours,
                           {test::FilledGifFrame(0, 0, 4, 4, 1, 5),
                            test::FilledGifFrame(1, 1, 2, 2, 2, 0, DISPOSE_DO_NOT),
                            test::FilledGifFrame(0, 0, 2, 4, 3, 20, DISPOSE_PREVIOUS)},
                           loops);
}

// The canvas pixel as 0xAARRGGBB.
std::uint32_t PixelAt(const Bitmap& canvas, int x, int y) {
    const std::uint8_t* p = canvas.PictureRow(y) + x * 4;
    return std::uint32_t(p[3]) << 24 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
}

class AnimationTest : public ::testing::Test {
protected:
    std::unique_ptr<FrameSource> Open(const fs::path& file,
                                      std::unique_ptr<FrameSource> (*open)(int)) {
        descriptor_ = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
        return open(descriptor_);
    }
    void TearDown() override { ::close(descriptor_); }

    // A job playing the file, its frames decoded here (the program has them decoded by its
    // helper), drawn at the given size.
    std::unique_ptr<AnimationJob> Play(const fs::path& file, PixelSize draw = {4, 4}) {
        AnimationJob::Setup setup;
        setup.path = file;
        setup.format = ImageFormat::Gif;
        setup.drawSize = draw;
        setup.open = [](int descriptor, ImageFormat, const std::atomic<bool>&) {
            return OpenGifFrames(descriptor);
        };
        setup.onFrame = [this] { ++told_; };
        return std::make_unique<AnimationJob>(setup);
    }

    test::TempDir dir_;
    int descriptor_ = -1;
    std::atomic<int> told_{0};
};

TEST_F(AnimationTest, GifFramesAreComposedAsTheyAreShownWithTheirDelaysAndLoops) {
    const fs::path gif = dir_ / "three.gif";
    WriteThreeFrames(gif, 2);
    auto frames = Open(gif, OpenGifFrames);
    ASSERT_TRUE(frames);
    int delay = 0;
    const Bitmap* canvas = frames->Next(delay);
    ASSERT_NE(canvas, nullptr);
    EXPECT_EQ(frames->Plays(), 3); // two loops after the first play
    EXPECT_EQ(delay, 50);
    EXPECT_EQ(PixelAt(*canvas, 0, 0), 0xFFFF0000u);
    ASSERT_NE(frames->Next(delay), nullptr);
    EXPECT_EQ(delay, 100) << "10 ms or less counts as 100";
    EXPECT_EQ(PixelAt(*canvas, 1, 1), 0xFF00FF00u);
    EXPECT_EQ(PixelAt(*canvas, 3, 3), 0xFFFF0000u);
    ASSERT_NE(frames->Next(delay), nullptr);
    EXPECT_EQ(delay, 200);
    EXPECT_EQ(PixelAt(*canvas, 1, 1), 0xFF0000FFu);
    EXPECT_EQ(PixelAt(*canvas, 2, 2), 0xFF00FF00u);
    EXPECT_EQ(frames->Next(delay), nullptr);
    // Played again from the start, the third frame gone as it said.
    ASSERT_TRUE(frames->Rewind());
    ASSERT_NE(frames->Next(delay), nullptr);
    EXPECT_EQ(PixelAt(*canvas, 1, 1), 0xFFFF0000u);

    // Without a loop block a GIF plays once; a WebP says its own count (0: for ever).
    WriteThreeFrames(dir_ / "once.gif", -1);
    auto once = Open(dir_ / "once.gif", OpenGifFrames);
    once->Next(delay);
    EXPECT_EQ(once->Plays(), 1);
    test::WriteAnimatedWebp(dir_ / "moving.webp",
                            {test::PhotoLike(6, 5, 4, 1), test::PhotoLike(6, 5, 4, 2)});
    auto webp = Open(dir_ / "moving.webp", OpenWebpFrames);
    ASSERT_TRUE(webp);
    EXPECT_EQ(webp->Plays(), 0);
    for (int frame = 0; frame < 2; ++frame) {
        ASSERT_NE(webp->Next(delay), nullptr);
        EXPECT_EQ(delay, 100);
    }
    EXPECT_EQ(webp->Next(delay), nullptr);
}

TEST_F(AnimationTest, TheViewTakesEachFrameWhenItIsDueAndTheLastStays) {
    const fs::path gif = dir_ / "three.gif";
    WriteThreeFrames(gif, 1); // two plays
    const auto start = AnimationJob::Clock::now();
    const auto job = Play(gif);
    // The first frame is the still picture's for its 50 ms.
    while (!job->NextDue()) {
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_EQ(job->Current(), nullptr);
    EXPECT_EQ(job->FrameNumber(), 1);
    const auto due = *job->NextDue();
    EXPECT_GE(due - start, 50ms);
    EXPECT_FALSE(job->Advance(due - 1ms));
    std::vector<int> shown;
    std::vector<std::uint32_t> middle;
    auto now = due;
    for (int i = 0; i < 10 && shown.size() < 5; ++i) {
        while (!job->NextDue()) {
            std::this_thread::sleep_for(1ms);
        }
        now = std::max(now, *job->NextDue());
        ASSERT_TRUE(job->Advance(now));
        shown.push_back(job->FrameNumber());
        middle.push_back(job->Current()->pixels[5] & 0xFFFFFF);
    }
    EXPECT_EQ(shown, (std::vector<int>{2, 3, 1, 2, 3}));
    EXPECT_EQ(middle,
              (std::vector<std::uint32_t>{0x00FF00, 0x0000FF, 0xFF0000, 0x00FF00, 0x0000FF}));
    // Played twice, it stays on its last frame.
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(job->NextDue());
    EXPECT_FALSE(job->Advance(now + 10s));
    EXPECT_EQ(job->FrameNumber(), 3);
    EXPECT_GE(told_, 1);
}

TEST_F(AnimationTest, OnlyAFewFramesAreHeldAndAOneFrameFileIsNoAnimation) {
    std::vector<test::GifAnimationFrame> hundred;
    for (int i = 0; i < 100; ++i) {
        hundred.push_back(test::FilledGifFrame(0, 0, 64, 64, std::uint8_t(i % 4), 2));
    }
    test::WriteAnimatedGif(dir_ / "hundred.gif", 64, 64, kColours, hundred, 0);
    auto job = Play(dir_ / "hundred.gif", {32, 32});
    while (!job->NextDue()) {
        std::this_thread::sleep_for(1ms);
    }
    std::this_thread::sleep_for(100ms); // room to decode far more, were it allowed
    EXPECT_EQ(job->MostFramesHeld(), AnimationJob::kFramesAhead + 1);
    ASSERT_TRUE(job->Advance(*job->NextDue()));
    EXPECT_EQ(job->Current()->width, 32) << "made at the draw size";
    const auto before = std::chrono::steady_clock::now();
    job.reset(); // paging away
    EXPECT_LT(std::chrono::steady_clock::now() - before, 100ms);

    // The still decode tells which files are animations, and only those are played.
    test::WriteAnimatedGif(dir_ / "still.gif", 4, 4, kColours,
                           {test::FilledGifFrame(0, 0, 4, 4, 1, 5)}, 0);
    EXPECT_TRUE(DecodeImageFile(dir_ / "hundred.gif", ImageFormat::Gif)->Animated());
    EXPECT_FALSE(DecodeImageFile(dir_ / "still.gif", ImageFormat::Gif)->Animated());
    test::WriteWebp(dir_ / "still.webp", test::PhotoLike(6, 5, 4), true);
    test::WriteAnimatedWebp(dir_ / "moving.webp",
                            {test::PhotoLike(6, 5, 4, 1), test::PhotoLike(6, 5, 4, 2)});
    EXPECT_TRUE(DecodeImageFile(dir_ / "moving.webp", ImageFormat::WebP)->Animated());
    EXPECT_FALSE(DecodeImageFile(dir_ / "still.webp", ImageFormat::WebP)->Animated());
    const auto still = Play(dir_ / "still.gif");
    std::this_thread::sleep_for(100ms);
    EXPECT_FALSE(still->NextDue());
    EXPECT_EQ(still->Current(), nullptr);
}

} // namespace
} // namespace pirela
