#include "image/CFile.h"
#include "image/DecodeProgress.h"
#include "image/ExifOrientation.h"
#include "image/JpegReader.h"
#include "image/OrientedRows.h"
#include "support/BitmapCompare.h"
#include "support/CameraFixtures.h"
#include "support/TempDir.h"

#include <cstring>
#include <gtest/gtest.h>
#include <tuple>

namespace pirela {
namespace {

TEST(ExifOrientationTest, ReadsTheTagInEitherByteOrderAndFallsBackToUpright) {
    for (const bool bigEndian : {false, true}) {
        for (int orientation = 1; orientation <= 8; ++orientation) {
            const auto block = test::ExifBlock(orientation, bigEndian);
            EXPECT_EQ(ExifOrientation(block.data(), block.size()), orientation)
                << orientation << (bigEndian ? " big-endian" : "");
        }
    }
    // Out of range, cut off, not EXIF at all, nothing.
    const auto nine = test::ExifBlock(9);
    EXPECT_EQ(ExifOrientation(nine.data(), nine.size()), 1);
    const auto six = test::ExifBlock(6);
    EXPECT_EQ(ExifOrientation(six.data(), 20), 1);
    const std::uint8_t junk[] = "Exif\0\0MM\0*\0\0\0\x08\xff\xff";
    EXPECT_EQ(ExifOrientation(junk, sizeof junk), 1);
    EXPECT_EQ(ExifOrientation(nullptr, 0), 1);
}

class JpegOrientationTest : public ::testing::Test {
protected:
    // Taller than a band of 512 rows and not a multiple of the block size either way.
    const test::Samples stored_ = test::PhotoLike(37, 531, 3);
    test::TempDir dir_;
};

TEST_F(JpegOrientationTest, EachOfTheEightIsShownUprightAndOnlyWhenAskedFor) {
    for (int orientation = 1; orientation <= 8; ++orientation) {
        const auto file = dir_ / ("o" + std::to_string(orientation) + ".jpg");
        test::WriteOrientedJpeg(file, stored_, orientation);
        JpegReadOptions unturned;
        unturned.applyOrientation = false;
        const CFile in = OpenForReading(file);
        const auto asStored = ReadJpegStream(in.get(), unturned);
        const auto upright = ReadJpegFile(file);
        ASSERT_TRUE(asStored && upright) << orientation;
        ASSERT_EQ(asStored->Width(), 37);
        const bool swapped = orientation >= 5;
        EXPECT_EQ(upright->Width(), swapped ? 531 : 37) << orientation;
        EXPECT_EQ(upright->Height(), swapped ? 37 : 531) << orientation;
        int wrong = 0;
        for (int y = 0; y < upright->Height(); ++y) {
            for (int x = 0; x < upright->Width(); ++x) {
                const test::Place p = test::StoredPlace(orientation, 37, 531, x, y);
                wrong +=
                    test::PixelAt(*upright, x, y) == test::PixelAt(*asStored, p.x, p.y) ? 0 : 1;
            }
        }
        EXPECT_EQ(wrong, 0) << "orientation " << orientation;
    }
}

TEST_F(JpegOrientationTest, ThePreviewAndTheHeaderFirstBitmapAreUprightToo) {
    const auto file = dir_ / "six.jpg";
    test::WriteOrientedJpeg(file, test::PhotoLike(160, 96, 3), 6);
    const auto whole = ReadJpegFile(file);
    ASSERT_TRUE(whole);

    // The view asks in the upright picture's terms: 96 x 160 wanting 24 x 40 is a quarter.
    JpegReadOptions preview;
    std::pair<int, int> asked;
    preview.smallestWanted = [&asked](int width, int height) {
        asked = {width, height};
        return std::pair{24, 40};
    };
    CFile in = OpenForReading(file);
    const auto small = ReadJpegStream(in.get(), preview);
    ASSERT_TRUE(small);
    EXPECT_EQ(asked, (std::pair{96, 160}));
    EXPECT_EQ(small->Width(), 24);
    EXPECT_EQ(small->Height(), 40);

    // Made from the header, filled later: the same pixels, final only at the end.
    JpegReadOptions header;
    header.bitmapOnly = true;
    in = OpenForReading(file);
    const auto bitmap = ReadJpegStream(in.get(), header);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->Width(), 96);
    DecodeProgress progress;
    JpegReadOptions fill;
    fill.progress = &progress;
    in = OpenForReading(file);
    ASSERT_TRUE(ReadJpegStreamInto(in.get(), *bitmap, fill));
    EXPECT_EQ(std::memcmp(bitmap->Pixels(), whole->Pixels(), whole->PixelBytes()), 0);
    EXPECT_EQ(progress.WaitForRows(1), 160);
}

TEST(OrientedRowsTest, FinalRowsComeFromTheTopOnlyWhenTheTopRowIsStoredFirst) {
    BitmapInfoHeader header;
    header.width = 4;
    header.height = 6;
    header.bitCount = 24;
    auto bitmap = Bitmap::Create(header);
    for (const auto& [orientation, afterTwo, afterAll] :
         {std::tuple{1, 2, 6}, {2, 2, 6}, {3, 0, 6}, {4, 0, 6}}) {
        const OrientedRows rows(*bitmap, orientation);
        EXPECT_EQ(rows.FinalRowsFromTop(2), afterTwo) << orientation;
        EXPECT_EQ(rows.FinalRowsFromTop(6), afterAll) << orientation;
    }
    // Rows of a stored 6 x 4 picture turned clockwise are the upright columns.
    const OrientedRows turned(*bitmap, 6);
    EXPECT_EQ(turned.StoredWidth(), 6);
    EXPECT_EQ(turned.FinalRowsFromTop(3), 0);
    EXPECT_EQ(turned.FinalRowsFromTop(4), 6);
}

} // namespace
} // namespace pirela
