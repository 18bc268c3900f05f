#include "image/JpegReader.h"

#include "support/ImageFixtures.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <jpeglib.h>

namespace pirela {
namespace {

// The classic way to fill a 24-bit bitmap: RGB output, one scanline a call, red and blue
// exchanged by hand, the first line into the last row in memory. Our reader must match it
// byte for byte.
std::vector<std::uint8_t> ReferenceDecode(const std::filesystem::path& file, int& width,
                                          int& height) {
    std::FILE* in = std::fopen(file.c_str(), "rb");
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, in);
    jpeg_read_header(&info, TRUE);
    jpeg_start_decompress(&info);
    width = static_cast<int>(info.output_width);
    height = static_cast<int>(info.output_height);
    const std::size_t stride = (std::size_t(width) * 3 + 3) / 4 * 4;
    std::vector<std::uint8_t> pixels(stride * height);
    std::vector<std::uint8_t> line(std::size_t(width) * info.output_components);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = line.data();
        jpeg_read_scanlines(&info, &row, 1);
        std::uint8_t* target = pixels.data() + stride * (height - info.output_scanline);
        for (int x = 0; x < width; ++x) {
            if (info.output_components == 1) {
                target[3 * x] = target[3 * x + 1] = target[3 * x + 2] = line[x];
            } else {
                target[3 * x] = line[3 * x + 2];
                target[3 * x + 1] = line[3 * x + 1];
                target[3 * x + 2] = line[3 * x];
            }
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::fclose(in);
    return pixels;
}

class JpegReaderTest : public ::testing::Test {
protected:
    std::filesystem::path Write(const std::string& name, const test::Samples& samples,
                                bool progressive = false) {
        const auto file = dir_ / name;
        test::WriteJpeg(file, samples, progressive);
        return file;
    }

    static std::string Bytes(const Bitmap& bitmap) {
        return std::string(reinterpret_cast<const char*>(bitmap.Pixels()), bitmap.PixelBytes());
    }

    test::TempDir dir_;
};

TEST_F(JpegReaderTest, ColourAndGreyMatchTheClassicRowByRowConversion) {
    for (int components : {3, 1}) {
        for (const int width : {1, 5, 67}) {
            const auto file = Write("image.jpg", test::PhotoLike(width, 37, components));
            const auto bitmap = ReadJpegFile(file);
            ASSERT_NE(bitmap, nullptr);
            int refWidth = 0;
            int refHeight = 0;
            const auto reference = ReferenceDecode(file, refWidth, refHeight);
            EXPECT_EQ(bitmap->BitCount(), 24);
            EXPECT_FALSE(bitmap->IsTopDown());
            EXPECT_EQ(bitmap->Width(), refWidth);
            EXPECT_EQ(bitmap->Height(), refHeight);
            EXPECT_TRUE(Bytes(*bitmap) ==
                        std::string(reference.begin(), reference.end()))
                << components << " components, width " << width;
        }
    }
}

TEST_F(JpegReaderTest, RowsArePaddedAndGreyPixelsHaveThreeEqualBytes) {
    const auto grey = ReadJpegFile(Write("grey.jpg", test::PhotoLike(5, 4, 1)));
    ASSERT_NE(grey, nullptr);
    EXPECT_EQ(grey->Stride(), 16u);
    for (int y = 0; y < 4; ++y) {
        const std::uint8_t* row = grey->PictureRow(y);
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(row[3 * x], row[3 * x + 1]);
            EXPECT_EQ(row[3 * x], row[3 * x + 2]);
        }
        EXPECT_EQ(row[15], 0); // padding
    }
    const auto narrow = ReadJpegFile(Write("narrow.jpg", test::PhotoLike(1, 3, 3)));
    ASSERT_NE(narrow, nullptr);
    EXPECT_EQ(narrow->Stride(), 4u);
}

TEST_F(JpegReaderTest, ProgressiveDecodesLikeBaseline) {
    const test::Samples samples = test::PhotoLike(120, 80, 3);
    const auto baseline = ReadJpegFile(Write("baseline.jpg", samples));
    const auto progressive = ReadJpegFile(Write("progressive.jpg", samples, true));
    ASSERT_NE(baseline, nullptr);
    ASSERT_NE(progressive, nullptr);
    EXPECT_TRUE(Bytes(*baseline) == Bytes(*progressive));
}

TEST_F(JpegReaderTest, ATruncatedFileStillGivesAFullSizeBitmap) {
    const auto file = Write("whole.jpg", test::PhotoLike(64, 64, 3));
    const std::string bytes = test::ReadBytes(file);
    const auto cut = dir_ / "cut.jpg";
    test::WriteBytes(cut, bytes.substr(0, bytes.size() / 2));
    const auto bitmap = ReadJpegFile(cut);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->Width(), 64);
    EXPECT_EQ(bitmap->Height(), 64);
}

TEST_F(JpegReaderTest, CmykForeignAndHugeFilesAreRefused) {
    EXPECT_EQ(ReadJpegFile(Write("cmyk.jpg", test::PhotoLike(8, 8, 4))), nullptr);

    const auto png = dir_ / "really.jpg";
    test::WritePng(png, test::PngFromSamples(test::PhotoLike(8, 8, 3)));
    EXPECT_EQ(ReadJpegFile(png), nullptr);
    EXPECT_EQ(ReadJpegFile(dir_ / "missing.jpg"), nullptr);

    // A small file whose frame header claims 60000 x 60000 pixels (10 GB as a bitmap).
    std::string bytes = test::ReadBytes(Write("small.jpg", test::PhotoLike(16, 16, 3)));
    const std::size_t frame = bytes.find("\xFF\xC0");
    ASSERT_NE(frame, std::string::npos);
    bytes[frame + 5] = bytes[frame + 7] = '\xEA';
    bytes[frame + 6] = bytes[frame + 8] = '\x60';
    const auto huge = dir_ / "huge.jpg";
    test::WriteBytes(huge, bytes);
    EXPECT_EQ(ReadJpegFile(huge), nullptr);
}

} // namespace
} // namespace pirela
