// The decoder helper: the camera roll's formats decoded in it give what Pirela's own readers
// give, cameras' metadata and all; a helper that crashes, hangs, overruns its memory, lies or
// cannot run gives no bitmap, says why, and the next file decodes; a stop ends a request at
// once.
#include "image/DecodeProgress.h"
#include "image/ImageDecoder.h"
#include "sandbox/DecoderPool.h"
#include "sandbox/HelperDecode.h"
#include "support/BitmapCompare.h"
#include "support/CameraFixtures.h"
#include "support/ColourFixtures.h"
#include "support/TempDir.h"

#include <cstring>
#include <gtest/gtest.h>
#include <thread>

namespace pirela {
namespace {

namespace fs = std::filesystem;

// The whole test program decodes through the helper built beside it.
const bool kSharedHelperSet = [] {
    DecoderPool::Shared().SetProgram(PIRELA_DECODER_PROGRAM);
    return true;
}();

bool SameColours(const Bitmap& a, const Bitmap& b) {
    return a.Colour() == nullptr ? b.Colour() == nullptr
                                 : b.Colour() != nullptr && *a.Colour() == *b.Colour();
}

bool SameBitmaps(const Bitmap& a, const Bitmap& b) {
    return a.Header().width == b.Header().width && a.Header().height == b.Header().height &&
           a.BitCount() == b.BitCount() && a.HasAlpha() == b.HasAlpha() &&
           a.Animated() == b.Animated() && SameColours(a, b) &&
           a.ColourTable() == b.ColourTable() &&
           std::memcmp(a.Pixels(), b.Pixels(), a.PixelBytes()) == 0;
}

void WriteHook(const fs::path& file, const std::string& hook) {
    test::WriteBytes(file, "PIRELA-TEST-HOOK:" + hook + "\n");
}

class DecoderHelperTest : public ::testing::Test {
protected:
    test::TempDir dir_;
};

TEST_F(DecoderHelperTest, EachFormatDecodesInTheHelperAsInPirela) {
    const test::Samples rgb = test::PhotoLike(40, 30, 3);
    const test::Samples rgba = test::PhotoLike(33, 21, 4);
    test::HeifOptions heif;
    heif.orientation = 6;
    test::WriteHeif(dir_ / "a.heic", rgb, heif);
    heif.av1 = true;
    test::WriteHeif(dir_ / "a.avif", rgb, heif);
    heif.av1 = false;
    heif.icc = test::AdobeRgbProfile(); // colours described, their profile and all
    test::WriteHeif(dir_ / "tagged.heic", rgb, heif);
    heif.icc.clear();
    heif.nclxPrimaries = 12; // a phone's Display P3
    test::WriteHeif(dir_ / "p3.heic", rgb, heif);
    test::WriteWebp(dir_ / "a.webp", rgba, true);
    test::WriteWebp(dir_ / "tagged.webp", rgba, true);
    test::EmbedIccInWebp(dir_ / "tagged.webp", test::DisplayP3Profile());
    test::TiffOptions tiff;
    tiff.orientation = 3;
    test::WriteTiff(dir_ / "a.tif", rgb, tiff);
    tiff.icc = test::AdobeRgbProfile();
    test::WriteTiff(dir_ / "tagged.tif", rgb, tiff);
    test::GifFrame frame;
    frame.screenWidth = frame.width = 5;
    frame.screenHeight = frame.height = 3;
    frame.indices = {0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2};
    frame.palette = {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255};
    test::WriteGif(dir_ / "a.gif", frame);
    frame.transparent = 1;
    test::WriteGif(dir_ / "clear.gif", frame);
    frame.frames = 2;
    test::WriteGif(dir_ / "moving.gif", frame);
    for (const auto& [name, format] : {std::pair{"a.heic", ImageFormat::Heif},
                                       {"a.avif", ImageFormat::Avif},
                                       {"tagged.heic", ImageFormat::Heif},
                                       {"p3.heic", ImageFormat::Heif},
                                       {"a.webp", ImageFormat::WebP},
                                       {"tagged.webp", ImageFormat::WebP},
                                       {"a.tif", ImageFormat::Tiff},
                                       {"tagged.tif", ImageFormat::Tiff},
                                       {"a.gif", ImageFormat::Gif},
                                       {"clear.gif", ImageFormat::Gif},
                                       {"moving.gif", ImageFormat::Gif}}) {
        for (const bool upright : {true, false}) {
            const test::Descriptor file(dir_ / name);
            const ReadOptions options{nullptr, upright};
            const auto inPirela = DecodeDescriptorImage(file, format, options);
            const auto inHelper = DecodeInHelper(file, format, options);
            ASSERT_NE(inPirela, nullptr) << name;
            ASSERT_NE(inHelper, nullptr) << name;
            EXPECT_TRUE(SameBitmaps(*inHelper, *inPirela)) << name << upright;
        }
    }
    // A raw file's preview comes back as the camera stored it, with its turn.
    const fs::path jpeg = dir_ / "preview.jpg";
    test::WriteJpeg(jpeg, rgb, false);
    test::WriteDng(dir_ / "a.dng", test::ReadBytes(jpeg), 6);
    const auto preview = ExtractRawPreviewInHelper(test::Descriptor(dir_ / "a.dng"), nullptr);
    ASSERT_TRUE(preview.has_value());
    EXPECT_EQ(std::string(preview->jpeg.begin(), preview->jpeg.end()), test::ReadBytes(jpeg));
    EXPECT_EQ(preview->orientation, 6);
    EXPECT_FALSE(ExtractRawPreviewInHelper(test::Descriptor(dir_ / "a.tif"), nullptr));
}

// Cameras' files carry dates, places and settings; reading them must not reach beyond what
// the helper read before its filter (a raw file's dates go through the time zone's rules).
TEST_F(DecoderHelperTest, FilesWithACamerasWholeMetadataDecodeUnderTheFilter) {
    const test::Samples rgb = test::PhotoLike(40, 30, 3);
    test::HeifOptions heif;
    heif.cameraExif = true;
    test::WriteHeif(dir_ / "a.heic", rgb, heif);
    heif.av1 = true;
    test::WriteHeif(dir_ / "a.avif", rgb, heif);
    test::WriteWebp(dir_ / "a.webp", rgb, false);
    test::AddWebpExif(dir_ / "a.webp", test::CameraExifBlock(1));
    test::TiffOptions tiff;
    tiff.cameraExif = true;
    test::WriteTiff(dir_ / "a.tif", rgb, tiff);
    for (const auto& [name, format] : {std::pair{"a.heic", ImageFormat::Heif},
                                       {"a.avif", ImageFormat::Avif},
                                       {"a.webp", ImageFormat::WebP},
                                       {"a.tif", ImageFormat::Tiff}}) {
        EXPECT_NE(DecodeInHelper(test::Descriptor(dir_ / name), format, {}), nullptr) << name;
    }
    const fs::path jpeg = dir_ / "preview.jpg";
    test::WriteJpeg(jpeg, rgb, false, 90, test::CameraExifBlock(1));
    test::WriteDng(dir_ / "a.dng", test::ReadBytes(jpeg), 1);
    EXPECT_TRUE(ExtractRawPreviewInHelper(test::Descriptor(dir_ / "a.dng"), nullptr));
}

TEST_F(DecoderHelperTest, AHelperThatFailsGivesNoBitmapAndTheNextFileDecodes) {
    DecoderPool pool(PIRELA_DECODER_HOOKS_PROGRAM, 1);
    pool.SetTimeLimit(std::chrono::milliseconds(300), std::chrono::milliseconds(0));
    const fs::path good = dir_ / "good.heic";
    test::WriteHeif(good, test::PhotoLike(24, 16, 3));
    std::vector<std::pair<std::string, HelperFailure>> hooks{
        {"crash", HelperFailure::Stopped},          {"hang", HelperFailure::TooSlow},
        {"lie-size", HelperFailure::Undecodable},   {"lie-memory", HelperFailure::Undecodable},
        {"lie-stride", HelperFailure::Undecodable}, {"unsealed", HelperFailure::Undecodable},
        {"garbage", HelperFailure::Undecodable},    {"not-a-hook", HelperFailure::Undecodable}};
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
    hooks.emplace_back("allocate", HelperFailure::Undecodable); // sanitizers run unlimited
#endif
    for (const auto& [hook, expected] : hooks) {
        const fs::path marker = dir_ / (hook + ".heic");
        WriteHook(marker, hook);
        HelperFailure failure = HelperFailure::None;
        EXPECT_EQ(DecodeInHelper(test::Descriptor(marker), ImageFormat::Heif, {}, pool, &failure),
                  nullptr)
            << hook;
        EXPECT_EQ(failure, expected) << hook;
        const auto next = DecodeInHelper(test::Descriptor(good), ImageFormat::Heif, {}, pool);
        ASSERT_NE(next, nullptr) << hook;
        EXPECT_EQ(next->Width(), 24) << hook;
    }
}

// The user is told what happened to the decoder rather than that the file is bad.
TEST_F(DecoderHelperTest, AHelperThatCannotRunSaysSo) {
    const fs::path good = dir_ / "good.heic";
    test::WriteHeif(good, test::PhotoLike(24, 16, 3));
    const fs::path notExecutable = dir_ / "pirela-decoder";
    test::WriteBytes(notExecutable, test::ReadBytes(PIRELA_DECODER_PROGRAM));
    for (const auto& [program, expected] :
         {std::pair{(dir_ / "missing").string(), HelperFailure::Missing},
          {notExecutable.string(), HelperFailure::Missing},
          // a helper that ends at once, before any request: tried twice, then it stopped
          {std::string("/bin/false"), HelperFailure::Stopped}}) {
        DecoderPool pool(program, 1);
        HelperFailure failure = HelperFailure::None;
        EXPECT_EQ(DecodeInHelper(test::Descriptor(good), ImageFormat::Heif, {}, pool, &failure),
                  nullptr)
            << program;
        EXPECT_EQ(failure, expected) << program;
    }
}

TEST_F(DecoderHelperTest, AStopEndsTheHelpersRequestAtOnce) {
    DecoderPool pool(PIRELA_DECODER_HOOKS_PROGRAM, 1);
    pool.SetTimeLimit(std::chrono::hours(1), std::chrono::milliseconds(0));
    const fs::path marker = dir_ / "hang.webp";
    WriteHook(marker, "hang");
    DecodeProgress progress;
    std::thread stopper([&progress] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        progress.RequestStop();
    });
    // Without the stop this would wait for the hour.
    EXPECT_EQ(DecodeInHelper(test::Descriptor(marker), ImageFormat::WebP, {&progress, true}, pool),
              nullptr);
    stopper.join();
}

} // namespace
} // namespace pirela
