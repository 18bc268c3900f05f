#include "view/FileProperties.h"

#include "image/ImageFormat.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace pirela {
namespace {

ImageInfo Info(std::int64_t size, int width, int height, int bits) {
    ImageInfo info;
    info.size = size;
    info.width = width;
    info.height = height;
    info.bitsPerPixel = bits;
    return info;
}

TEST(FilePropertiesTest, NameFolderSizeAndCaption) {
    const FilePropertyTexts small = ComputeFilePropertyTexts("/a.jpg", Info(999, 1, 1, 24));
    EXPECT_EQ(small.caption, "a.jpg のプロパティ");
    EXPECT_EQ(small.name, "a.jpg");
    EXPECT_EQ(small.location, "/");
    EXPECT_EQ(small.size, "999  バイト");
    const FilePropertyTexts kilo = ComputeFilePropertyTexts("/p/q/b.png", Info(1000, 1, 1, 24));
    EXPECT_EQ(kilo.location, "/p/q");
    EXPECT_EQ(kilo.size, "0.97 K バイト");
}

TEST(FilePropertiesTest, PixelAndColourCountsNeverOverflow) {
    const auto texts = [](int width, int height, int bits) {
        const FilePropertyTexts t = ComputeFilePropertyTexts("/x.bmp", Info(1, width, height, bits));
        return t.pixels + " | " + t.colours;
    };
    EXPECT_EQ(texts(640, 480, 24), "640 x 480 ピクセル | 24 ビット (16777216 色)");
    EXPECT_EQ(texts(3, 2, 8), "3 x 2 ピクセル | 8 ビット (256 色)");
    EXPECT_EQ(texts(1, 1, 32), "1 x 1 ピクセル | 32 ビット (4294967296 色)");
    // 65536 x 65536 is 2^32 pixels: a 32-bit product would read 0 and say 不明.
    EXPECT_EQ(texts(65536, 65536, 1), "65536 x 65536 ピクセル | 1 ビット (2 色)");
    EXPECT_EQ(texts(0, 0, 0), "不明 | 不明"); // opened but not decoded
}

TEST(FilePropertiesTest, ModificationTimeInLocalTimeWithoutLeadingZeros) {
    const char* saved = std::getenv("TZ");
    const std::string old = saved != nullptr ? saved : "";
    ::setenv("TZ", "JST-9", 1);
    ::tzset();
    EXPECT_EQ(FormatModifiedTime(1709589489), "2024年3月5日 06:58:09"); // 2024-03-04 21:58:09 UTC
    EXPECT_EQ(FormatModifiedTime(1703980800), "2023年12月31日 09:00:00");
    saved != nullptr ? ::setenv("TZ", old.c_str(), 1) : ::unsetenv("TZ");
    ::tzset();
}

TEST(FilePropertiesTest, TypeNameIsTrimmedOrTakenFromTheFormat) {
    EXPECT_EQ(FileTypeName("JPEG 画像 ", 3), "JPEG 画像");
    EXPECT_EQ(FileTypeName("", 1), "ビットマップ イメージ");
    EXPECT_EQ(FileTypeName(" ", 5), "PNG イメージ");
    for (const auto& [format, name] : {std::pair{ImageFormat::Heif, "HEIF イメージ"},
                                       {ImageFormat::Avif, "AVIF イメージ"},
                                       {ImageFormat::WebP, "WebP イメージ"},
                                       {ImageFormat::Tiff, "TIFF イメージ"},
                                       {ImageFormat::Gif, "GIF イメージ"},
                                       {ImageFormat::Raw, "カメラの RAW イメージ"}}) {
        EXPECT_EQ(FileTypeName("", static_cast<int>(format)), name);
    }
    EXPECT_EQ(FileTypeName("", 0), "");
}

} // namespace
} // namespace pirela
