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
    EXPECT_EQ(FormatForExtension(ExtensionOf("x.jxl")), ImageFormat::Unsupported);
    EXPECT_EQ(static_cast<int>(ImageFormat::Png), 5);
    struct Case {
        const char* name;
        ImageFormat format;
    };
    for (const Case& c : {Case{"IMG_0001.HEIC", ImageFormat::Heif},
                          Case{"a.hif", ImageFormat::Heif},
                          Case{"a.avif", ImageFormat::Avif}, Case{"a.WebP", ImageFormat::WebP},
                          Case{"scan.tif", ImageFormat::Tiff}, Case{"scan.TIFF", ImageFormat::Tiff},
                          Case{"anim.gif", ImageFormat::Gif}, Case{"_MG_1.CR2", ImageFormat::Raw},
                          Case{"a.cr3", ImageFormat::Raw}, Case{"DSC_1.NEF", ImageFormat::Raw},
                          Case{"a.dng", ImageFormat::Raw}, Case{"a.RW2", ImageFormat::Raw}}) {
        EXPECT_EQ(FormatForExtension(ExtensionOf(c.name)), c.format) << c.name;
        EXPECT_TRUE(IsOpenableExtension(ExtensionOf(c.name))) << c.name;
        EXPECT_FALSE(IsOpenableExtension(ExtensionOf(c.name), FormatSet::Classic)) << c.name;
    }
}

TEST(ImageFormatTest, JpegIsDecodedButOpenableOnlyWithTheCameraRollsFormats) {
    EXPECT_TRUE(IsOpenableExtension("JPE", FormatSet::Classic));
    EXPECT_TRUE(IsOpenableExtension("dib", FormatSet::Classic));
    EXPECT_FALSE(IsOpenableExtension("jpeg", FormatSet::Classic));
    EXPECT_TRUE(IsOpenableExtension("jpeg"));
    EXPECT_FALSE(IsOpenableExtension(""));
    EXPECT_FALSE(IsOpenableExtension("xmp")); // a photo's sidecar is never an image
    // Every extension listed has a decoder.
    for (std::string_view extension : kCameraRollExtensions) {
        EXPECT_NE(FormatForExtension(extension), ImageFormat::Unsupported) << extension;
    }
}

} // namespace
} // namespace pirela
