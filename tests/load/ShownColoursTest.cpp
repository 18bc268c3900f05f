#include "colour/ColourTransform.h"
#include "colour/DisplayProfile.h"
#include "image/ImageDecoder.h"
#include "image/ImageScaler.h"
#include "load/DecodeJob.h"
#include "support/ColourFixtures.h"
#include "support/ImageFixtures.h"
#include "support/TempDir.h"

#include <atomic>
#include <chrono>
#include <climits>
#include <cstring>
#include <gtest/gtest.h>
#include <png.h>
#include <thread>

namespace pirela {
namespace {

namespace fs = std::filesystem;

constexpr ViewPlan kFit{0, 0, {400, 300}};
constexpr ViewPlan kFullSize{100, 0, {400, 300}};
constexpr DecodeSettings kStoredColours{true, false};

bool SamePixels(const Bitmap& a, const Bitmap& b) {
    return a.PixelBytes() == b.PixelBytes() &&
           std::memcmp(a.Pixels(), b.Pixels(), a.PixelBytes()) == 0;
}

bool SamePicture(const ScaledPicture* a, const ScaledPicture& b) {
    return a != nullptr && a->width == b.width && a->height == b.height && a->pixels == b.pixels;
}

// The same photo twice: plain, and tagged Adobe RGB (the profile leaves its pixels as they are).
class ShownColoursTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::WriteJpeg(plain_, test::PhotoLike(1700, 1000, 3), false);
        fs::copy_file(plain_, tagged_);
        test::EmbedIccInJpeg(tagged_, test::AdobeRgbProfile());
        stored_ = DecodeImageFile(plain_, ImageFormat::Jpeg);
        ASSERT_TRUE(stored_);
        ColourDescription adobe;
        adobe.icc = test::AdobeRgbProfile();
        transform_ = ColourTransform::ToDisplay(adobe, ColourProfile::Srgb());
        ASSERT_TRUE(transform_);
    }
    std::unique_ptr<Bitmap> Converted(const Bitmap& bitmap) const {
        auto copy = Bitmap::Create(bitmap.Header());
        std::memcpy(copy->Pixels(), bitmap.Pixels(), bitmap.PixelBytes());
        transform_->ConvertRows(*copy, 0, copy->Height());
        return copy;
    }

    test::TempDir dir_;
    const fs::path plain_ = dir_ / "plain.jpg";
    const fs::path tagged_ = dir_ / "tagged.jpg";
    std::unique_ptr<Bitmap> stored_;
    std::shared_ptr<const ColourTransform> transform_;
};

TEST_F(ShownColoursTest, PhotosWithoutAProfileOrWithTheOptionOffKeepTheirColoursToTheBit) {
    for (const ViewPlan& plan : {kFit, kFullSize}) {
        const DecodeJob plain(plain_, ImageFormat::Jpeg, true, plan);
        const DecodeJob stored(tagged_, ImageFormat::Jpeg, true, plan, {}, {}, kStoredColours);
        for (const DecodeJob* job : {&plain, &stored}) {
            ASSERT_NE(job->WaitForShownBitmap(), nullptr);
            EXPECT_TRUE(SamePixels(*job->WaitForShownBitmap(), *stored_));
            EXPECT_EQ(job->ShownRows(), INT_MAX);
        }
        if (plan == kFit) {
            EXPECT_TRUE(SamePicture(stored.Prepared(), *plain.Prepared()));
            EXPECT_TRUE(SamePixels(*stored.WaitForPreview(), *plain.WaitForPreview()));
        }
    }
}

TEST_F(ShownColoursTest, DrawnSmallerOnlyThePictureIsConvertedUntilTheWholeIsWanted) {
    std::atomic<int> told{0};
    const DecodeJob job(tagged_, ImageFormat::Jpeg, true, kFit, {}, [&] { ++told; });
    const Bitmap* bitmap = job.WaitForBitmap();
    ASSERT_NE(bitmap, nullptr);
    // The preview and the picture at the draw size are in the display's colours...
    const DecodeJob plain(plain_, ImageFormat::Jpeg, true, kFit);
    ASSERT_NE(job.WaitForPreview(), nullptr);
    EXPECT_TRUE(SamePixels(*job.WaitForPreview(), *Converted(*plain.WaitForPreview())));
    auto picture = ScaleDown(*stored_, 400, 235);
    ASSERT_TRUE(picture);
    transform_->ConvertPicture(*picture);
    EXPECT_TRUE(SamePicture(job.Prepared(), *picture));
    // ...the whole bitmap still in the file's, and none of its rows may be shown.
    EXPECT_TRUE(SamePixels(*bitmap, *stored_));
    EXPECT_EQ(job.ShownRows(), 0);

    // Wanted (a zoom to 100 %), its rows are converted after the decode, and the view told.
    told = 0;
    job.WatchRows(64);
    for (int i = 0; i < 5000 && told == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_GE(told, 1);
    EXPECT_GE(job.ShownRows(), 64);
    ASSERT_EQ(job.WaitForShownBitmap(), bitmap);
    EXPECT_TRUE(SamePixels(*bitmap, *Converted(*stored_)));
    EXPECT_EQ(job.ShownRows(), INT_MAX);
}

TEST_F(ShownColoursTest, AtFullSizeOnlyThePartInSightIsConvertedUntilMoreIsWanted) {
    const DecodeJob job(tagged_, ImageFormat::Jpeg, true, kFullSize);
    job.WatchRows(320, 0, 400); // the view's first paint, of the part in sight
    const Bitmap* bitmap = job.WaitForBitmap();
    ASSERT_NE(bitmap, nullptr);
    for (int i = 0; i < 5000 && job.ShownRows(0, 400) < 320; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_GE(job.ShownRows(0, 400), 320);
    EXPECT_LT(job.ShownRows(0, 400), 1000);
    EXPECT_EQ(job.ShownRows(1200, 1700), 0);
    // Converted in strips of the view's tiles: the strip of columns 0 to 511, rows in sight.
    const auto converted = Converted(*stored_);
    const auto same = [&](const Bitmap& expected, int x, int y) {
        return std::memcmp(bitmap->PictureRow(y) + x * 3, expected.PictureRow(y) + x * 3, 3) == 0;
    };
    EXPECT_TRUE(same(*converted, 0, 0));
    EXPECT_TRUE(same(*converted, 511, 319));
    EXPECT_TRUE(same(*stored_, 512, 0));
    EXPECT_TRUE(same(*stored_, 0, 999));
    // The clipboard or a turn wants them all.
    ASSERT_EQ(job.WaitForShownBitmap(), bitmap);
    EXPECT_TRUE(SamePixels(*bitmap, *converted));
    EXPECT_EQ(job.ShownRows(), INT_MAX);
}

TEST_F(ShownColoursTest, APaletteIsConvertedInItsTableAndABrokenProfileIsIgnored) {
    test::PngImage palette;
    palette.width = 4;
    palette.height = 2;
    palette.colourType = PNG_COLOR_TYPE_PALETTE;
    palette.palette = {90, 160, 90, 200, 30, 40};
    palette.rows = {{0, 1, 0, 1}, {1, 0, 1, 0}};
    palette.icc = test::AdobeRgbProfile();
    test::WritePng(dir_ / "palette.png", palette);
    const DecodeJob job(dir_ / "palette.png", ImageFormat::Png, false, kFit);
    ASSERT_NE(job.WaitForBitmap(), nullptr);
    std::vector<RgbQuad> expected{{90, 160, 90, 0}, {40, 30, 200, 0}};
    transform_->ConvertTable(expected);
    EXPECT_EQ(job.WaitForBitmap()->ColourTable()[0], expected[0]);
    EXPECT_EQ(job.WaitForBitmap()->ColourTable()[1], expected[1]);
    EXPECT_EQ(job.ShownRows(), INT_MAX);

    // A profile no colour manager can read: the photo is shown as it is stored, as sRGB.
    const fs::path broken = dir_ / "broken.jpg";
    fs::copy_file(plain_, broken);
    test::EmbedIccInJpeg(broken, std::vector<std::uint8_t>(700, 0x41));
    const DecodeJob brokenJob(broken, ImageFormat::Jpeg, false, kFullSize);
    ASSERT_NE(brokenJob.WaitForShownBitmap(), nullptr);
    EXPECT_TRUE(SamePixels(*brokenJob.WaitForShownBitmap(), *stored_));
}

TEST_F(ShownColoursTest, ConvertsForTheDisplaysOwnProfile) {
    // A Display P3 screen: a P3 photo is shown as stored, an Adobe RGB one converted for P3.
    const auto p3 = test::DisplayP3Profile();
    SetDisplayProfileReader([p3] { return p3; });
    const fs::path phone = dir_ / "phone.jpg";
    fs::copy_file(plain_, phone);
    test::EmbedIccInJpeg(phone, p3);
    const DecodeJob phoneJob(phone, ImageFormat::Jpeg, false, kFullSize);
    const DecodeJob adobeJob(tagged_, ImageFormat::Jpeg, false, kFullSize);
    ASSERT_NE(phoneJob.WaitForShownBitmap(), nullptr);
    ASSERT_NE(adobeJob.WaitForShownBitmap(), nullptr);
    SetDisplayProfileReader({});

    EXPECT_TRUE(SamePixels(*phoneJob.WaitForShownBitmap(), *stored_));
    ColourDescription adobe;
    adobe.icc = test::AdobeRgbProfile();
    const auto toP3 = ColourTransform::ToDisplay(adobe, ColourProfile::FromIcc(p3));
    ASSERT_TRUE(toP3);
    auto expected = Bitmap::Create(stored_->Header());
    std::memcpy(expected->Pixels(), stored_->Pixels(), stored_->PixelBytes());
    toP3->ConvertRows(*expected, 0, expected->Height());
    EXPECT_TRUE(SamePixels(*adobeJob.WaitForShownBitmap(), *expected));
    EXPECT_FALSE(SamePixels(*expected, *Converted(*stored_)));
}

} // namespace
} // namespace pirela
