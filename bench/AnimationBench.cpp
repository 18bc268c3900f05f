// What playing animations costs, measured in the same run:
//   the memory an animated GIF of 100 frames holds while it plays twice at its delays:
//   the most frames held at once, and their bytes against those of all its frames at the draw
//   size, as a player that decoded them all would hold (target: at most 4 frames);
//   the first frame of that GIF decoded in the helper ÷ the same frame alone as a still GIF, the
//   cost of learning that more frames follow (target <= 1.05: the first frame shows as fast);
//   a frame from the animation's helper ÷ the same frame composed in Pirela, what decoding in
//   the helper adds to each frame (no target: a frame is due every 20 ms or more).
// Run: animation_bench (it writes its own files).
#include "RatioReport.h"
#include "image/FrameSource.h"
#include "load/AnimationJob.h"
#include "sandbox/DecoderPool.h"
#include "sandbox/HelperDecode.h"
#include "sandbox/HelperFrames.h"
#include "support/CameraFixtures.h"

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace pirela;

namespace {

constexpr int kFrames = 100;
constexpr int kWidth = 480;
constexpr int kHeight = 360;
constexpr PixelSize kDrawSize{kWidth, kHeight};

// Each frame a pattern of its own over the whole screen, 20 ms each, looping for ever.
void WriteHundredFrames(const fs::path& file, int frames) {
    std::vector<std::uint8_t> palette;
    for (int i = 0; i < 256; ++i) {
        palette.insert(palette.end(),
                       {std::uint8_t(i), std::uint8_t(255 - i), std::uint8_t(i * 7)});
    }
    std::vector<test::GifAnimationFrame> all;
    for (int frame = 0; frame < frames; ++frame) {
        test::GifAnimationFrame made = test::FilledGifFrame(0, 0, kWidth, kHeight, 0, 2);
        for (std::size_t i = 0; i < made.indices.size(); ++i) {
            made.indices[i] = std::uint8_t((i / kWidth + i % kWidth / 8 + frame * 3) & 0xFF);
        }
        all.push_back(std::move(made));
    }
    test::WriteAnimatedGif(file, kWidth, kHeight, palette, all, 0);
}

class OpenFile {
public:
    explicit OpenFile(const fs::path& file)
        : descriptor_(::open(file.c_str(), O_RDONLY | O_CLOEXEC)) {}
    ~OpenFile() { ::close(descriptor_); }
    operator int() const { return descriptor_; }

private:
    int descriptor_;
};

// Plays the animation through its frames twice, each when it is due, as the view does; the most
// frames it held at once.
int FramesHeldWhilePlaying(const fs::path& gif) {
    AnimationJob::Setup setup;
    setup.path = gif;
    setup.format = ImageFormat::Gif;
    setup.drawSize = kDrawSize;
    setup.open = [](int file, ImageFormat format, const std::atomic<bool>& stop) {
        return OpenFramesInHelper(file, format, stop);
    };
    AnimationJob job(std::move(setup));
    for (int shown = 0; shown < 2 * kFrames - 1;) {
        const auto due = job.NextDue();
        if (due) {
            std::this_thread::sleep_until(*due);
        }
        if (due && job.Advance(AnimationJob::Clock::now())) {
            ++shown;
        } else {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    }
    return job.MostFramesHeld();
}

// The picture shown first, twenty times: a small GIF's decode takes a millisecond.
void DecodeStill(const fs::path& gif) {
    const OpenFile file(gif);
    for (int time = 0; time < 20; ++time) {
        if (!DecodeInHelper(file, ImageFormat::Gif, {})) {
            std::fprintf(stderr, "%s could not be decoded\n", gif.c_str());
            std::exit(1);
        }
    }
}

// The first ten frames after the first, as the animation's worker takes them.
void TenFrames(FrameSource& frames) {
    int delayMs = 0;
    for (int frame = 0; frame < 10; ++frame) {
        if (frames.Next(delayMs) == nullptr) {
            frames.Rewind();
        }
    }
}

} // namespace

int main() {
    DecoderPool::Shared().SetProgram(fs::canonical("/proc/self/exe").parent_path().parent_path() /
                                     "pirela-decoder");
    const fs::path folder =
        fs::temp_directory_path() / ("pirela-animation-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const fs::path moving = folder / "moving.gif";
    const fs::path still = folder / "still.gif";
    WriteHundredFrames(moving, kFrames);
    WriteHundredFrames(still, 1);

    const int held = FramesHeldWhilePlaying(moving);
    const double frameBytes = double(kDrawSize.width) * kDrawSize.height * 4;
    std::printf("an animated GIF of %d frames, %d x %d, played twice:\n", kFrames, kWidth, kHeight);
    std::printf("  %-52s %6d (target <= %d)\n", "frames held at once", held,
                AnimationJob::kFramesAhead + 1);
    std::printf("  %-52s %6.3f (%.1f MB of %.1f MB)\n", "their bytes ÷ all its frames' bytes",
                held / double(kFrames), held * frameBytes / 1e6, kFrames * frameBytes / 1e6);

    std::printf("\nmedians of 15 paired rounds:\n");
    const double first =
        bench::PairedMedianRatio([&] { DecodeStill(moving); }, [&] { DecodeStill(still); }, 15);
    std::printf("  %-52s %6.3f (target <= 1.05)\n", "first frame, animated ÷ still, in the helper",
                first);
    const OpenFile here(moving);
    const OpenFile there(moving);
    const auto inPirela = OpenGifFrames(here);
    std::atomic<bool> stop{false};
    const auto inHelper = OpenFramesInHelper(there, ImageFormat::Gif, stop);
    if (!inPirela || !inHelper) {
        std::fprintf(stderr, "%s cannot be played\n", moving.c_str());
        return 1;
    }
    const double perFrame =
        bench::PairedMedianRatio([&] { TenFrames(*inHelper); }, [&] { TenFrames(*inPirela); }, 15);
    std::printf("  %-52s %6.3f\n", "a frame from the helper ÷ composed in Pirela", perFrame);
    fs::remove_all(folder);
    return 0;
}
