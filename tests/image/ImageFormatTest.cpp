#include "image/ImageFormat.h"

#include <gtest/gtest.h>

namespace pirela {
namespace {

TEST(ImageFormatTest, TheDecoderFollowsTheExtensionWithoutCase) {
    EXPECT_EQ(FormatForExtension(ExtensionOf("PHOTO.JPG")), ImageFormat::Jpeg);
    EXPECT_EQ(FormatForExtension(ExtensionOf("photo.Jpe")), ImageFormat::Jpeg);
    EXPECT_EQ(FormatForExtension(ExtensionOf("x.jpeg")), ImageFormat::Jpeg);
    EXPECT_EQ(FormatForExtension(ExtensionOf("x.Png")), ImageFormat::Png);
    EXPECT_EQ(FormatForExtension(ExtensionOf("a.b.dib")), ImageFormat::Bitmap);
    EXPECT_EQ(FormatForExtension(ExtensionOf("readme")), ImageFormat::Unsupported);
    EXPECT_EQ(FormatForExtension(ExtensionOf("x.gif")), ImageFormat::Unsupported);
    EXPECT_EQ(static_cast<int>(ImageFormat::Png), 5);
}

TEST(ImageFormatTest, JpegIsDecodedButNeverOpenable) {
    EXPECT_TRUE(IsOpenableExtension("JPE"));
    EXPECT_TRUE(IsOpenableExtension("dib"));
    EXPECT_FALSE(IsOpenableExtension("jpeg"));
    EXPECT_FALSE(IsOpenableExtension(""));
}

} // namespace
} // namespace pirela
