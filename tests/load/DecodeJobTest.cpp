#include "image/ImageDecoder.h"
#include "image/JpegReader.h"
#include "load/DecodeJob.h"
#include "load/ImageLoader.h"
#include "support/CameraFixtures.h"
#include "support/ImageFixtures.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <fstream>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

namespace pirela {
namespace {

namespace fs = std::filesystem;

// A plan that fits the image into 400 x 300.
constexpr ViewPlan kFit{0, 0, {400, 300}};
constexpr ViewPlan kFullSize{100, 0, {400, 300}};

bool SamePixels(const Bitmap& a, const Bitmap& b) {
    return a.Width() == b.Width() && a.Height() == b.Height() &&
           a.PixelBytes() == b.PixelBytes() &&
           std::memcmp(a.Pixels(), b.Pixels(), a.PixelBytes()) == 0;
}

class DecodeJobTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::WriteJpeg(photo_, test::PhotoLike(1700, 1000, 3), false);
    }
    test::TempDir dir_;
    const fs::path photo_ = dir_ / "photo.jpg";
};

TEST(JpegScaleTest, TheSmallestScaleStillAtLeastTheWantedSize) {
    struct Case {
        int width, height, wantedWidth, wantedHeight, denominator;
    };
    for (const Case& c : {Case{6000, 4000, 1280, 800, 4}, Case{6000, 4000, 1501, 800, 2},
                          Case{6000, 4000, 700, 500, 8}, Case{6000, 4000, 6000, 4000, 1},
                          Case{601, 401, 76, 51, 8}, Case{601, 401, 77, 51, 4},
                          Case{100, 100, 1, 1, 8}}) {
        EXPECT_EQ(JpegScaleDenominator(c.width, c.height, c.wantedWidth, c.wantedHeight),
                  c.denominator)
            << c.width << "x" << c.height << " wanting " << c.wantedWidth << "x" << c.wantedHeight;
    }
}

TEST_F(DecodeJobTest, GivesTheSameBitmapAsTheDecoderWithAPreviewAndAPreparedPictureWhenShrunk) {
    const auto expected = DecodeImageFile(photo_, ImageFormat::Jpeg);
    ASSERT_TRUE(expected);

    const DecodeJob fitted(photo_, ImageFormat::Jpeg, true, kFit);
    ASSERT_NE(fitted.WaitForBitmap(), nullptr);
    EXPECT_TRUE(SamePixels(*fitted.WaitForBitmap(), *expected));
    // 1700 x 1000 fitted into 400 x 300 is 400 x 235; a quarter (425 x 250) is the smallest
    // library scale that is no smaller.
    const Bitmap* preview = fitted.WaitForPreview();
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->Width(), 425);
    EXPECT_EQ(preview->Height(), 250);
    const ScaledPicture* prepared = fitted.Prepared();
    ASSERT_NE(prepared, nullptr);
    EXPECT_EQ(prepared->width, 400);
    EXPECT_EQ(prepared->height, 235);

    // At 100 % nothing smaller is made; a decode ahead never previews.
    const DecodeJob fullSize(photo_, ImageFormat::Jpeg, true, kFullSize);
    const DecodeJob ahead(photo_, ImageFormat::Jpeg, false, kFit);
    for (const DecodeJob* job : {&fullSize, &ahead}) {
        ASSERT_NE(job->WaitForBitmap(), nullptr);
        EXPECT_TRUE(SamePixels(*job->WaitForBitmap(), *expected));
        EXPECT_EQ(job->WaitForPreview(), nullptr);
    }
    EXPECT_EQ(fullSize.Prepared(), nullptr);
    EXPECT_NE(ahead.Prepared(), nullptr);
}

TEST_F(DecodeJobTest, WaitsForItsPlanBeforeChoosingAPreviewAndTakesTheLatestPlanAtTheEnd) {
    DecodeJob job(photo_, ImageFormat::Jpeg, true, std::nullopt);
    job.SetPlan(ViewPlan{0, 0, {170, 100}});
    EXPECT_EQ(job.WaitForPreview()->Width(), 213); // an eighth
    job.SetPlan(ViewPlan{50, 0, {170, 100}});
    ASSERT_NE(job.WaitForBitmap(), nullptr);
    // The plan changed while it decoded: whichever plan it met at the end, the prepared
    // picture is of that plan's draw size.
    const ScaledPicture* prepared = job.Prepared();
    ASSERT_NE(prepared, nullptr);
    EXPECT_TRUE((prepared->width == 850 && prepared->height == 500) ||
                (prepared->width == 170 && prepared->height == 100));
}

TEST_F(DecodeJobTest, StoppingMidwayEndsWithoutABitmapAndFinalRowsStayReadable) {
    test::WriteJpeg(photo_, test::PhotoLike(3000, 2000, 3), false);
    auto job = std::make_unique<DecodeJob>(photo_, ImageFormat::Jpeg, false, kFullSize);
    ASSERT_GE(job->Progress().WaitForRows(16), 16);
    const Bitmap* filling = job->Progress().WaitForBitmap();
    ASSERT_NE(filling, nullptr);
    EXPECT_EQ(filling->Width(), 3000);
    const std::vector<std::uint8_t> topRow(filling->PictureRow(0), filling->PictureRow(0) + 9000);
    job->Stop();
    EXPECT_EQ(job->WaitForBitmap(), nullptr);
    EXPECT_LT(job->Progress().FinishedRows(), 2000);
    EXPECT_TRUE(std::equal(topRow.begin(), topRow.end(), filling->PictureRow(0)));
}

TEST_F(DecodeJobTest, TellsWhenWatchedRowsAreFinalAndNobodyOnceDestroyed) {
    std::atomic<int> told{0};
    for (const ImageFormat format : {ImageFormat::Jpeg, ImageFormat::Bitmap}) {
        const fs::path file = format == ImageFormat::Jpeg ? photo_ : dir_ / "photo.bmp";
        if (format == ImageFormat::Bitmap) {
            test::WriteBytes(file, test::EncodeBmp(*DecodeImageFile(photo_, ImageFormat::Jpeg)));
        }
        told = 0;
        DecodeJob job(file, format, false, kFullSize, {}, [&] { ++told; });
        job.WatchRows(1000);
        ASSERT_NE(job.WaitForBitmap(), nullptr);
        // The worker tells right after the waiters woke.
        for (int i = 0; i < 5000 && told == 0; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        EXPECT_EQ(told, 1) << "told once the rows were final, or at the end";
        job.WatchRows(1000); // already final: told at once
        EXPECT_EQ(told, 2);
    }
    // A job destroyed mid-way tells nobody afterwards, whatever its worker still does.
    test::WriteJpeg(photo_, test::PhotoLike(3000, 2000, 3), false);
    told = 0;
    std::atomic<int> ended{0};
    {
        DecodeJob job(photo_, ImageFormat::Jpeg, false, kFullSize, [&] { ++ended; },
                      [&] { ++told; });
        job.WatchRows(2000);
    }
    const int toldAtDestruction = told;
    const int endedAtDestruction = ended;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(told, toldAtDestruction);
    EXPECT_EQ(ended, endedAtDestruction);
}

TEST_F(DecodeJobTest, KnowsWhetherTheFileOnDiskIsStillTheOneItDecoded) {
    const DecodeJob unchanged(photo_, ImageFormat::Jpeg, false, kFit);
    EXPECT_TRUE(unchanged.MatchesFileOnDisk());

    // Rewritten in place to the same size, its modification time set back: only the change
    // time tells.
    const DecodeJob rewritten(photo_, ImageFormat::Jpeg, false, kFit);
    rewritten.WaitForBitmap();
    struct stat before {};
    ASSERT_EQ(::stat(photo_.c_str(), &before), 0);
    {
        std::fstream file(photo_, std::ios::binary | std::ios::in | std::ios::out);
        file.seekp(1000);
        file.put('\x55');
    }
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, photo_.c_str(), times, 0), 0);
    EXPECT_FALSE(rewritten.MatchesFileOnDisk());

    const DecodeJob replaced(photo_, ImageFormat::Jpeg, false, kFit);
    replaced.WaitForBitmap();
    test::WriteJpeg(dir_ / "other.jpg", test::PhotoLike(30, 20, 3), false);
    fs::rename(dir_ / "other.jpg", photo_);
    EXPECT_FALSE(replaced.MatchesFileOnDisk());

    const DecodeJob missing(dir_ / "missing.jpg", ImageFormat::Jpeg, false, kFit);
    EXPECT_FALSE(missing.MatchesFileOnDisk());
    EXPECT_EQ(missing.WaitForBitmap(), nullptr);

    // A pipe in an image's place is not waited on.
    ASSERT_EQ(::mkfifo((dir_ / "pipe.jpg").c_str(), 0600), 0);
    const DecodeJob pipe(dir_ / "pipe.jpg", ImageFormat::Jpeg, false, kFit);
    EXPECT_EQ(pipe.WaitForBitmap(), nullptr);
}

TEST_F(DecodeJobTest, AFileThatBreaksOffAfterItsRowsEndsWithoutABitmap) {
    test::BreakJpegAfterItsRows(photo_);
    ASSERT_EQ(DecodeImageFile(photo_, ImageFormat::Jpeg), nullptr);

    const DecodeJob job(photo_, ImageFormat::Jpeg, false, kFullSize);
    EXPECT_NE(job.Progress().WaitForBitmap(), nullptr);
    EXPECT_EQ(job.WaitForBitmap(), nullptr);
}

TEST_F(DecodeJobTest, TheLoaderUsesItsDecodeAheadOnlyForTheSameUnchangedFile) {
    ImageLoader loader({});
    loader.SetPlan(kFit);
    loader.DecodeAhead(photo_, ImageFormat::Jpeg);
    const auto ahead = loader.Ahead();
    loader.DecodeAhead(photo_, ImageFormat::Jpeg); // never twice for one file
    EXPECT_EQ(loader.Ahead(), ahead);
    // Taken, not made again: a decode made to show a fitted file at once would preview it.
    EXPECT_EQ(loader.Take(photo_, ImageFormat::Jpeg, true)->WaitForPreview(), nullptr);
    EXPECT_EQ(loader.Ahead(), nullptr);

    loader.DecodeAhead(photo_, ImageFormat::Jpeg);
    loader.Ahead()->WaitForBitmap();
    test::WriteJpeg(photo_, test::PhotoLike(30, 20, 3), false); // edited since
    const auto taken = loader.Take(photo_, ImageFormat::Jpeg, true);
    ASSERT_NE(taken->WaitForBitmap(), nullptr);
    EXPECT_EQ(taken->WaitForBitmap()->Width(), 30);

    loader.DecodeAhead(photo_, ImageFormat::Jpeg);
    EXPECT_NE(loader.Take(dir_ / "other.jpg", ImageFormat::Jpeg, true).get(), nullptr);
    EXPECT_EQ(loader.Ahead(), nullptr); // another file was wanted: the decode ahead is gone
}

TEST_F(DecodeJobTest, TheCameraRollsFormatsDecodeOnTheWorkerAndARawFilePreviewsItsJpeg) {
    // Every new format makes its bitmap (size and depth known early) and fills it.
    const test::Samples samples = test::PhotoLike(40, 30, 3);
    test::WriteHeif(dir_ / "a.heic", samples);
    test::WriteWebp(dir_ / "a.webp", samples, true);
    test::WriteTiff(dir_ / "a.tif", samples);
    for (const auto& [name, format] :
         {std::pair{"a.heic", ImageFormat::Heif}, {"a.webp", ImageFormat::WebP},
          {"a.tif", ImageFormat::Tiff}}) {
        const DecodeJob job(dir_ / name, format, true, kFit);
        ASSERT_NE(job.WaitForBitmap(), nullptr) << name;
        EXPECT_EQ(job.WaitForBitmap()->Width(), 40) << name;
        EXPECT_EQ(job.WaitForPreview(), nullptr) << name;
    }

    // The camera's 1700 x 1000 preview of a raw file taken upright: previewed at a quarter
    // like a JPEG file, both turned as the raw file says.
    const fs::path dng = dir_ / "photo.dng";
    test::WriteDng(dng, test::ReadBytes(photo_), 8);
    const DecodeJob raw(dng, ImageFormat::Raw, true, kFit);
    const Bitmap* preview = raw.WaitForPreview();
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->Width(), 250);
    EXPECT_EQ(preview->Height(), 425);
    ASSERT_NE(raw.WaitForBitmap(), nullptr);
    EXPECT_EQ(raw.WaitForBitmap()->Width(), 1000);

    // Told not to turn photos, it shows the preview as stored.
    const DecodeJob asStored(dng, ImageFormat::Raw, false, kFit, {}, {}, DecodeSettings{false});
    ASSERT_NE(asStored.WaitForBitmap(), nullptr);
    EXPECT_EQ(asStored.WaitForBitmap()->Width(), 1700);
}

TEST_F(DecodeJobTest, TheLoaderDropsADecodeAheadMadeUnderOtherSettings) {
    ImageLoader loader({});
    loader.SetPlan(kFit);
    loader.DecodeAhead(photo_, ImageFormat::Jpeg);
    ASSERT_NE(loader.Ahead(), nullptr);
    loader.SetSettings(DecodeSettings{false});
    EXPECT_EQ(loader.Ahead(), nullptr);
    loader.DecodeAhead(photo_, ImageFormat::Jpeg);
    EXPECT_FALSE(loader.Ahead()->Settings().applyOrientation);
}

} // namespace
} // namespace pirela
