// One file's thumbnail from every format, upright, at the size it needs, through the cache.
#include "thumbnail/ThumbnailLoader.h"

#include "image/ScaledPicture.h"
#include "sandbox/DecoderPool.h"
#include "support/CameraFixtures.h"
#include "support/TempDir.h"
#include "thumbnail/ThumbnailMaker.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace pirela {
namespace {

namespace fs = std::filesystem;
using Outcome = LoadedThumbnail::Outcome;

// A picture whose left half is red and right half blue, as stored.
test::Samples RedLeftBlueRight(int width, int height) {
    test::Samples samples{width, height, 3, {}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool left = x < width / 2;
            samples.data.insert(samples.data.end(),
                                {std::uint8_t(left ? 220 : 20), 20, std::uint8_t(left ? 20 : 220)});
        }
    }
    return samples;
}

test::Samples Solid(int width, int height, std::uint8_t red, std::uint8_t blue) {
    test::Samples samples{width, height, 3, {}};
    for (int i = 0; i < width * height; ++i) {
        samples.data.insert(samples.data.end(), {red, 20, blue});
    }
    return samples;
}

bool Reddish(std::uint32_t pixel) {
    return ((pixel >> 16) & 0xFF) > 150 && (pixel & 0xFF) < 100;
}

bool Bluish(std::uint32_t pixel) {
    return (pixel & 0xFF) > 150 && ((pixel >> 16) & 0xFF) < 100;
}

class ThumbnailLoaderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { DecoderPool::Shared().SetProgram(PIRELA_DECODER_PROGRAM); }

    LoadedThumbnail Load(const fs::path& file, int box = 128,
                         const std::optional<FileIdentity>& known = std::nullopt) {
        DecodeProgress progress;
        return LoadThumbnail(cache_, file.string(), box, known, progress);
    }
    static void SetTime(const fs::path& file, std::time_t seconds) {
        const timespec times[2] = {{seconds, 0}, {seconds, 0}};
        ::utimensat(AT_FDCWD, file.c_str(), times, 0);
    }

    test::TempDir dir_;
    ThumbnailCache cache_{dir_ / "cache", "pirela-test"};
};

TEST_F(ThumbnailLoaderTest, MakesUprightThumbnailsOfEveryFormatAndKeepsThem) {
    const test::Samples stored = RedLeftBlueRight(600, 400);
    test::WriteOrientedJpeg(dir_ / "turned.jpg", stored, 6);
    test::WritePng(dir_ / "flat.png", test::PngFromSamples(stored));
    test::WriteHeif(dir_ / "turned.heic", stored, {false, 8, 6});
    test::WriteJpeg(dir_ / "preview.jpg", stored, false);
    test::WriteDng(dir_ / "raw.dng", test::ReadBytes(dir_ / "preview.jpg"), 6);
    struct Case {
        const char* name;
        bool turned;
        const char* mimeType;
    };
    for (const Case c :
         {Case{"turned.jpg", true, "image/jpeg"}, Case{"flat.png", false, "image/png"},
          Case{"turned.heic", true, "image/heif"}, Case{"raw.dng", true, ""}}) {
        SCOPED_TRACE(c.name);
        const LoadedThumbnail loaded = Load(dir_ / c.name);
        ASSERT_EQ(loaded.outcome, Outcome::Ready);
        EXPECT_TRUE(loaded.stored);
        const ScaledPicture& picture = *loaded.picture;
        EXPECT_EQ(picture.width, c.turned ? 85 : 128);
        EXPECT_EQ(picture.height, c.turned ? 128 : 85);
        // Turned a quarter clockwise, the red left half is on top.
        const std::uint32_t first = picture.pixels.front();
        const std::uint32_t last = picture.pixels.back();
        EXPECT_TRUE(Reddish(first) && Bluish(last)) << std::hex << first << " " << last;
        const auto kept = cache_.FindFresh(ThumbnailOriginal((dir_ / c.name).string(),
                                                             loaded.identity->modifiedSeconds,
                                                             loaded.identity->size),
                                           ThumbnailSize::Normal);
        ASSERT_TRUE(kept);
        EXPECT_EQ(kept->fields.imageWidth, c.turned ? 400 : 600);
        EXPECT_EQ(kept->fields.mimeType, c.mimeType);
    }
}

TEST_F(ThumbnailLoaderTest, TakesTheCamerasThumbnailOnlyWhenItIsLargeEnoughAndWhole) {
    const auto exifWith = [this](int width, int height) {
        test::WriteJpeg(dir_ / "small.jpg", Solid(width, height, 220, 20), false);
        return test::ExifBlock(1, false, {}, {}, test::ReadBytes(dir_ / "small.jpg"));
    };
    const test::Samples blue = Solid(1500, 1000, 20, 220);
    test::WriteJpeg(dir_ / "a.jpg", blue, false, 90, exifWith(192, 128));
    test::WriteJpeg(dir_ / "bars.jpg", blue, false, 90, exifWith(160, 120));
    EXPECT_TRUE(Reddish(Load(dir_ / "a.jpg", 128).picture->pixels[0]));   // 192 x 128 will do
    EXPECT_TRUE(Bluish(Load(dir_ / "a.jpg", 256).picture->pixels[0]));    // too small for 256
    EXPECT_TRUE(Bluish(Load(dir_ / "bars.jpg", 128).picture->pixels[0])); // 4:3 in a 3:2 photo
}

TEST_F(ThumbnailLoaderTest, UsesTheCacheUntilTheFileChangesAndRecordsFailures) {
    const fs::path photo = dir_ / "a.jpg";
    test::WriteJpeg(photo, Solid(300, 200, 220, 20), false);
    SetTime(photo, 1700000000);
    const LoadedThumbnail first = Load(photo);
    ASSERT_EQ(first.outcome, Outcome::Ready);
    EXPECT_EQ(Load(photo, 128, first.identity).outcome, Outcome::Unchanged);

    // The same size and time but bytes no decoder takes: the cache's thumbnail still serves.
    test::WriteBytes(photo, std::string(fs::file_size(photo), 'x'));
    SetTime(photo, 1700000000);
    const LoadedThumbnail cached = Load(photo);
    ASSERT_EQ(cached.outcome, Outcome::Ready);
    EXPECT_TRUE(Reddish(cached.picture->pixels[0]));
    // Seen to change within the second the cache records, it is made again (and fails).
    EXPECT_EQ(Load(photo, 128, first.identity).outcome, Outcome::Failed);

    SetTime(photo, 1700000100); // now it changed: made again, which fails, and is recorded
    EXPECT_EQ(Load(photo).outcome, Outcome::Failed);
    const ThumbnailOriginal original(photo.string(), 1700000100,
                                     static_cast<std::int64_t>(fs::file_size(photo)));
    EXPECT_TRUE(cache_.HasFreshFailure(original));

    test::WriteJpeg(photo, Solid(300, 200, 20, 220), false); // mended: a new thumbnail
    const LoadedThumbnail mended = Load(photo);
    ASSERT_EQ(mended.outcome, Outcome::Ready);
    EXPECT_TRUE(Bluish(mended.picture->pixels[0]));
}

TEST_F(ThumbnailLoaderTest, ThumbnailsTheCachesOwnFilesInMemoryOnly) {
    fs::create_directories(dir_ / "cache" / "normal");
    const fs::path inside = dir_ / "cache" / "normal" / "x.png";
    test::WritePng(inside, test::PngFromSamples(Solid(40, 30, 220, 20)));
    const LoadedThumbnail loaded = Load(inside);
    ASSERT_EQ(loaded.outcome, Outcome::Ready);
    EXPECT_FALSE(loaded.stored);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "cache" / "normal"), {}), 1);
    EXPECT_FALSE(fs::exists(dir_ / "cache" / "fail"));
}

TEST_F(ThumbnailLoaderTest, GivesNothingForWhatCannotBeRead) {
    EXPECT_EQ(Load(dir_ / "gone.jpg").outcome, Outcome::Unreadable);
    fs::create_directory(dir_ / "folder.jpg");
    EXPECT_EQ(Load(dir_ / "folder.jpg").outcome, Outcome::Unreadable);
    EXPECT_FALSE(fs::exists(dir_ / "cache" / "fail"));
}

TEST(FitIntoBoxTest, KeepsProportionsAndNeverEnlarges) {
    EXPECT_EQ(FitIntoBox(6000, 4000, 256).height, 171);
    EXPECT_EQ(FitIntoBox(4000, 6000, 256).width, 171);
    EXPECT_EQ(FitIntoBox(100, 50, 256).width, 100);
    EXPECT_EQ(FitIntoBox(10000, 1, 128).height, 1);
}

} // namespace
} // namespace pirela
