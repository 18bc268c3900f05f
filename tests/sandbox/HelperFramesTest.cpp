// An animation's frames from a decoder helper of its own: each as Pirela's own readers compose
// it, played again on request; the helper dies with them, a stop ends a wait at once, and a
// helper that answers anything but frames gives none.
#include "sandbox/HelperFrames.h"

#include "support/BitmapCompare.h"
#include "support/CameraFixtures.h"
#include "support/HelperProcesses.h"
#include "support/TempDir.h"

#include <algorithm>
#include <cstring>
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <iterator>
#include <set>
#include <thread>

namespace pirela {
namespace {

namespace fs = std::filesystem;

std::set<pid_t> HelperPids() {
    std::set<pid_t> pids;
    for (const auto& helper : test::ChildHelpers()) {
        pids.insert(helper.first);
    }
    return pids;
}

class HelperFramesTest : public ::testing::Test {
protected:
    test::TempDir dir_;
    std::atomic<bool> stop_{false};
};

TEST_F(HelperFramesTest, FramesComeAsPirelaComposesThemAndPlayAgain) {
    test::WriteAnimatedGif(dir_ / "a.gif", 5, 4, {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255},
                           {test::FilledGifFrame(0, 0, 5, 4, 1, 5, DISPOSE_DO_NOT),
                            test::FilledGifFrame(1, 1, 2, 2, 2, 0, DISPOSE_PREVIOUS),
                            test::FilledGifFrame(0, 0, 2, 4, 3, 20, DISPOSE_BACKGROUND)},
                           2);
    test::WriteAnimatedWebp(dir_ / "a.webp",
                            {test::PhotoLike(6, 5, 4, 1), test::PhotoLike(6, 5, 4, 2)});
    DecoderPool pool(PIRELA_DECODER_PROGRAM, 1);
    for (const auto& [name, format, open] :
         {std::tuple{"a.gif", ImageFormat::Gif, &OpenGifFrames},
          std::tuple{"a.webp", ImageFormat::WebP, &OpenWebpFrames}}) {
        const test::Descriptor here(dir_ / name);
        const test::Descriptor there(dir_ / name);
        const auto inPirela = open(here);
        const auto inHelper = OpenFramesInHelper(there, format, stop_, pool);
        ASSERT_TRUE(inPirela && inHelper) << name;
        for (int play = 0; play < 2; ++play) {
            int frames = 0;
            for (;; ++frames) {
                int delay = 0;
                int helperDelay = 0;
                const Bitmap* canvas = inPirela->Next(delay);
                const Bitmap* helperCanvas = inHelper->Next(helperDelay);
                ASSERT_EQ(canvas == nullptr, helperCanvas == nullptr) << name << frames;
                if (canvas == nullptr) {
                    break;
                }
                EXPECT_EQ(helperDelay, delay);
                ASSERT_EQ(helperCanvas->PixelBytes(), canvas->PixelBytes());
                EXPECT_EQ(
                    std::memcmp(helperCanvas->Pixels(), canvas->Pixels(), canvas->PixelBytes()), 0)
                    << name << " frame " << frames;
            }
            EXPECT_GE(frames, 2) << name;
            EXPECT_EQ(inHelper->Plays(), inPirela->Plays()) << name;
            ASSERT_TRUE(inPirela->Rewind() && inHelper->Rewind()) << name;
        }
    }
}

TEST_F(HelperFramesTest, TheHelperDiesWithTheFramesAndAnswersOtherThanFramesGiveNone) {
    test::WriteAnimatedGif(
        dir_ / "a.gif", 2, 2, {0, 0, 0, 255, 255, 255},
        {test::FilledGifFrame(0, 0, 2, 2, 0, 5, 0), test::FilledGifFrame(0, 0, 2, 2, 1, 5, 0)}, 0);
    DecoderPool pool(PIRELA_DECODER_HOOKS_PROGRAM, 0); // a helper started for each
    const test::Descriptor gif(dir_ / "a.gif");
    const std::set<pid_t> before = HelperPids();
    auto frames = OpenFramesInHelper(gif, ImageFormat::Gif, stop_, pool);
    ASSERT_TRUE(frames);
    std::vector<pid_t> started;
    std::ranges::set_difference(HelperPids(), before, std::back_inserter(started));
    ASSERT_EQ(started.size(), 1u);
    frames.reset(); // paged away
    EXPECT_TRUE(test::Reaped(started[0]));

    for (const char* hook : {"crash", "garbage", "lie-size", "unsealed"}) {
        test::WriteBytes(dir_ / "hook.gif", std::string("PIRELA-TEST-HOOK:") + hook + "\n");
        EXPECT_EQ(
            OpenFramesInHelper(test::Descriptor(dir_ / "hook.gif"), ImageFormat::Gif, stop_, pool),
            nullptr)
            << hook;
    }
    // A helper that hangs is left at once when the frames are no longer wanted.
    pool.SetTimeLimit(std::chrono::hours(1), std::chrono::milliseconds(0));
    test::WriteBytes(dir_ / "hang.gif", "PIRELA-TEST-HOOK:hang\n");
    std::thread stopper([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        stop_ = true;
    });
    EXPECT_EQ(
        OpenFramesInHelper(test::Descriptor(dir_ / "hang.gif"), ImageFormat::Gif, stop_, pool),
        nullptr);
    stopper.join();
}

} // namespace
} // namespace pirela
