// The readers of the camera roll's formats, each on files its own library's encoder wrote:
// the right size, upright, and the pixels of the library's reference decode (or, for lossless
// files, of the samples written).
#include "image/DecodeProgress.h"
#include "image/GifReader.h"
#include "image/HeifReader.h"
#include "image/JpegReader.h"
#include "image/RawPreview.h"
#include "image/TiffReader.h"
#include "image/WebpReader.h"
#include "support/BitmapCompare.h"
#include "support/CameraFixtures.h"
#include "support/TempDir.h"

#include <functional>
#include <gtest/gtest.h>
#include <libheif/heif.h>
#include <tiffio.h>
#include <webp/decode.h>

namespace pirela {
namespace {

namespace fs = std::filesystem;
using Reader = std::function<std::unique_ptr<Bitmap>(int, const ReadOptions&)>;

std::unique_ptr<Bitmap> Read(const Reader& read, const fs::path& file,
                             const ReadOptions& options = {}) {
    const test::Descriptor descriptor(file);
    return read(descriptor, options);
}

// libheif's own decode, turned and cropped as the file says, as samples.
test::Samples HeifReference(const fs::path& file) {
    heif_context* context = heif_context_alloc();
    heif_context_read_from_file(context, file.c_str(), nullptr);
    heif_image_handle* handle = nullptr;
    heif_context_get_primary_image_handle(context, &handle);
    heif_image* image = nullptr;
    heif_decode_image(handle, &image, heif_colorspace_RGB, heif_chroma_interleaved_RGB, nullptr);
    test::Samples samples{heif_image_get_width(image, heif_channel_interleaved),
                          heif_image_get_height(image, heif_channel_interleaved),
                          3,
                          {}};
    int stride = 0;
    const std::uint8_t* plane =
        heif_image_get_plane_readonly(image, heif_channel_interleaved, &stride);
    for (int y = 0; y < samples.height; ++y) {
        samples.data.insert(samples.data.end(), plane + std::size_t(stride) * y,
                            plane + std::size_t(stride) * y + samples.width * 3);
    }
    heif_image_release(image);
    heif_image_handle_release(handle);
    heif_context_free(context);
    return samples;
}

// RGBA samples without fully transparent pixels, whose colours a lossless encoder may drop.
test::Samples Translucent(int width, int height, unsigned seed = 1) {
    test::Samples samples = test::PhotoLike(width, height, 4, seed);
    for (std::size_t i = 3; i < samples.data.size(); i += 4) {
        samples.data[i] = std::max<std::uint8_t>(samples.data[i], 1);
    }
    return samples;
}

class CameraRollReadersTest : public ::testing::Test {
protected:
    test::TempDir dir_;
    const test::Samples photo_ = test::PhotoLike(64, 48, 3);
};

TEST_F(CameraRollReadersTest, HeicAndAvifGiveLibheifsPixelsWithTheContainersTurnAppliedOnce) {
    struct Case {
        const char* name;
        test::HeifOptions options;
    };
    for (const Case& c : {Case{"a.heic", {}}, Case{"a.avif", {true}},
                          Case{"deep.heic", {false, 10}}, Case{"turned.heic", {false, 8, 6, 6}}}) {
        const fs::path file = dir_ / c.name;
        test::WriteHeif(file, photo_, c.options);
        const auto bitmap = Read(ReadHeifDescriptor, file);
        ASSERT_TRUE(bitmap) << c.name;
        EXPECT_EQ(bitmap->BitCount(), 24);
        EXPECT_TRUE(test::SameAsSamples(*bitmap, HeifReference(file))) << c.name;
        // Close to what was written, and turned once, not once more by the EXIF block.
        EXPECT_LT(test::MeanDifference(*bitmap, test::Upright(photo_, c.options.orientation)), 12)
            << c.name;
    }
    // Alpha comes through as the bitmap's alpha.
    const fs::path clear = dir_ / "alpha.avif";
    const test::Samples rgba = test::PhotoLike(16, 8, 4);
    test::WriteHeif(clear, rgba, {true, 8, 1, 0, 100, true});
    const auto alpha = Read(ReadHeifDescriptor, clear);
    ASSERT_TRUE(alpha);
    EXPECT_EQ(alpha->BitCount(), 32);
    EXPECT_TRUE(alpha->HasAlpha());
    EXPECT_EQ(test::PixelAt(*alpha, 5, 3).a, test::SampleAt(rgba, 5, 3).a);
}

TEST_F(CameraRollReadersTest, WebpStillsAnimationsAndAlpha) {
    const fs::path lossy = dir_ / "lossy.webp";
    test::WriteWebp(lossy, photo_, false);
    const std::string bytes = test::ReadBytes(lossy);
    int width = 0;
    int height = 0;
    std::uint8_t* reference = WebPDecodeRGB(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                            bytes.size(), &width, &height);
    ASSERT_NE(reference, nullptr);
    const auto bitmap = Read(ReadWebpDescriptor, lossy);
    ASSERT_TRUE(bitmap);
    EXPECT_TRUE(test::SameAsSamples(
        *bitmap, test::Samples{width, height, 3, {reference, reference + width * height * 3}}));
    WebPFree(reference);

    const fs::path lossless = dir_ / "lossless.webp";
    test::WriteWebp(lossless, photo_, true);
    const auto exact = Read(ReadWebpDescriptor, lossless);
    ASSERT_TRUE(exact);
    EXPECT_EQ(exact->BitCount(), 24);
    EXPECT_TRUE(test::SameAsSamples(*exact, photo_));

    const test::Samples rgba = Translucent(33, 17);
    const fs::path clear = dir_ / "alpha.webp";
    test::WriteWebp(clear, rgba, true);
    const auto alpha = Read(ReadWebpDescriptor, clear);
    ASSERT_TRUE(alpha);
    EXPECT_TRUE(alpha->HasAlpha());
    EXPECT_TRUE(test::SameAsSamples(*alpha, rgba));

    // An animation shows its first frame.
    const fs::path animation = dir_ / "animated.webp";
    test::WriteAnimatedWebp(animation, {Translucent(20, 10, 1), Translucent(20, 10, 2)});
    const auto first = Read(ReadWebpDescriptor, animation);
    ASSERT_TRUE(first);
    EXPECT_TRUE(test::SameAsSamples(*first, Translucent(20, 10, 1)));
    // A first frame smaller than its canvas: in its place, the canvas around it transparent.
    const test::Samples frame = Translucent(6, 4);
    test::WriteWebpFrameOnCanvas(animation, frame, 16, 12, 4, 6);
    test::Samples canvas{16, 12, 4, std::vector<std::uint8_t>(16 * 12 * 4, 0)};
    for (int y = 0; y < frame.height; ++y) {
        std::copy_n(frame.data.data() + y * 6 * 4, 6 * 4, canvas.Row(6 + y) + 4 * 4);
    }
    const auto placed = Read(ReadWebpDescriptor, animation);
    ASSERT_TRUE(placed);
    EXPECT_TRUE(test::SameAsSamples(*placed, canvas));
}

TEST_F(CameraRollReadersTest, TiffDepthsCompressionsColoursTilesAndPages) {
    struct Case {
        const char* name;
        int components;
        test::TiffOptions options;
    };
    const Case cases[]{
        {"lzw.tif", 3, {}},
        {"deflate16.tif", 3, {16, COMPRESSION_ADOBE_DEFLATE}},
        {"float.tif", 1, {32, COMPRESSION_NONE}},
        {"alpha.tif", 4, {}},
        {"tiled.tif", 3, {8, COMPRESSION_LZW, false, 1, 1, true}},
        {"pages.tif", 3, {8, COMPRESSION_PACKBITS, false, 1, 3}},
    };
    for (const Case& c : cases) {
        const test::Samples samples = test::PhotoLike(37, 29, c.components);
        const fs::path file = dir_ / c.name;
        test::WriteTiff(file, samples, c.options);
        const auto bitmap = Read(ReadTiffDescriptor, file);
        ASSERT_TRUE(bitmap) << c.name;
        EXPECT_EQ(bitmap->HasAlpha(), c.components == 4) << c.name;
        EXPECT_TRUE(test::SameAsSamples(*bitmap, samples)) << c.name;
    }
    // CMYK without a profile: each colour is what its ink and the black leave of white.
    const test::Samples ink = test::PhotoLike(9, 5, 4);
    test::WriteTiff(dir_ / "cmyk.tif", ink, {8, COMPRESSION_LZW, true});
    const auto cmyk = Read(ReadTiffDescriptor, dir_ / "cmyk.tif");
    ASSERT_TRUE(cmyk);
    const test::Rgba inked = test::PixelAt(*cmyk, 4, 2);
    const std::uint8_t* c = ink.data.data() + (2 * 9 + 4) * 4;
    EXPECT_EQ(inked.r, (255 - c[0]) * (255 - c[3]) / 255);
    EXPECT_EQ(inked.b, (255 - c[2]) * (255 - c[3]) / 255);
}

TEST_F(CameraRollReadersTest, TiffIsTurnedUprightUnlessToldNot) {
    for (const bool tiled : {false, true}) {
        const fs::path file = dir_ / (tiled ? "tiled.tif" : "strips.tif");
        test::WriteTiff(file, photo_, {8, COMPRESSION_LZW, false, 8, 1, tiled});
        const auto upright = Read(ReadTiffDescriptor, file);
        ASSERT_TRUE(upright);
        EXPECT_TRUE(test::SameAsSamples(*upright, test::Upright(photo_, 8))) << tiled;
        ReadOptions unturned;
        unturned.applyOrientation = false;
        const auto stored = Read(ReadTiffDescriptor, file, unturned);
        ASSERT_TRUE(stored);
        EXPECT_TRUE(test::SameAsSamples(*stored, photo_)) << tiled;
    }
}

TEST_F(CameraRollReadersTest, GifFirstFrameOnItsScreenWithTransparency) {
    test::GifFrame frame;
    frame.screenWidth = frame.width = 10;
    frame.screenHeight = frame.height = 21;
    frame.palette = {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255};
    for (int i = 0; i < 10 * 21; ++i) {
        frame.indices.push_back(std::uint8_t(i * 7 % 4));
    }
    const auto colour = [&frame](int x, int y, int shift = 0) {
        const int index = (frame.indices[std::size_t(y) * frame.width + x] + shift) % 4;
        return test::Rgba{frame.palette[index * 3], frame.palette[index * 3 + 1],
                          frame.palette[index * 3 + 2], 255};
    };
    for (const bool interlaced : {false, true}) {
        frame.interlaced = interlaced;
        frame.frames = 2;
        test::WriteGif(dir_ / "opaque.gif", frame);
        const auto opaque = Read(ReadGifDescriptor, dir_ / "opaque.gif");
        ASSERT_TRUE(opaque);
        EXPECT_EQ(opaque->BitCount(), 8);
        EXPECT_EQ(test::PixelAt(*opaque, 3, 17), colour(3, 17)) << interlaced;
        EXPECT_EQ(test::PixelAt(*opaque, 9, 20), colour(9, 20)) << interlaced;
    }
    // A transparent colour, and a frame that leaves the screen's edges bare.
    frame.frames = 1;
    frame.transparent = 2;
    frame.screenWidth = 14;
    frame.screenHeight = 25;
    frame.left = 3;
    frame.top = 2;
    test::WriteGif(dir_ / "clear.gif", frame);
    const auto clear = Read(ReadGifDescriptor, dir_ / "clear.gif");
    ASSERT_TRUE(clear);
    EXPECT_EQ(clear->BitCount(), 32);
    EXPECT_TRUE(clear->HasAlpha());
    EXPECT_EQ(clear->Width(), 14);
    EXPECT_EQ(test::PixelAt(*clear, 0, 0).a, 0);
    for (int y = 0; y < 21; ++y) {
        for (int x = 0; x < 10; ++x) {
            const test::Rgba expected =
                frame.indices[std::size_t(y) * 10 + x] == 2 ? test::Rgba{0, 0, 0, 0} : colour(x, y);
            ASSERT_EQ(test::PixelAt(*clear, x + 3, y + 2), expected) << x << "," << y;
        }
    }
}

TEST_F(CameraRollReadersTest, RawFilesShowTheCamerasJpegPreviewUpright) {
    const fs::path jpeg = dir_ / "preview.jpg";
    test::WriteJpeg(jpeg, test::PhotoLike(128, 96, 3), false);
    const fs::path dng = dir_ / "photo.dng";
    test::WriteDng(dng, test::ReadBytes(jpeg), 6);

    const test::Descriptor descriptor(dng);
    const std::optional<RawPreview> preview = ExtractRawPreview(descriptor);
    ASSERT_TRUE(preview);
    EXPECT_EQ(preview->orientation, 6);
    EXPECT_EQ(std::string(preview->jpeg.begin(), preview->jpeg.end()), test::ReadBytes(jpeg));

    const auto shown = ReadRawPreviewDescriptor(descriptor, {});
    const auto stored = ReadJpegFile(jpeg);
    ASSERT_TRUE(shown && stored);
    EXPECT_EQ(shown->Width(), 96);
    EXPECT_EQ(test::PixelAt(*shown, 95, 0), test::PixelAt(*stored, 0, 0)); // turned clockwise

    // Without a JPEG preview, or not a raw file at all: nothing, never a development.
    test::WriteDng(dir_ / "bare.dng", "", 1);
    test::WriteBytes(dir_ / "junk.cr2", std::string(4096, 'x'));
    for (const char* name : {"bare.dng", "junk.cr2"}) {
        const test::Descriptor other(dir_ / name);
        EXPECT_FALSE(ExtractRawPreview(other)) << name;
        EXPECT_EQ(ReadRawPreviewDescriptor(other, {}), nullptr) << name;
    }
}

TEST_F(CameraRollReadersTest, DamagedFilesAndStopRequestsGiveNothing) {
    test::WriteHeif(dir_ / "a.heic", photo_);
    test::WriteWebp(dir_ / "a.webp", photo_, false);
    test::WriteTiff(dir_ / "a.tif", photo_);
    test::GifFrame gif{8, 8, 0, 0, 8, 8, std::vector<std::uint8_t>(64, 1), {0, 0, 0, 9, 9, 9}};
    test::WriteGif(dir_ / "a.gif", gif);
    const std::pair<const char*, Reader> readers[]{{"a.heic", ReadHeifDescriptor},
                                                   {"a.webp", ReadWebpDescriptor},
                                                   {"a.tif", ReadTiffDescriptor},
                                                   {"a.gif", ReadGifDescriptor}};
    for (const auto& [name, read] : readers) {
        const std::string bytes = test::ReadBytes(dir_ / name);
        ASSERT_TRUE(Read(read, dir_ / name)) << name;
        // Cut in half; garbage of the same length.
        test::WriteBytes(dir_ / "cut", bytes.substr(0, bytes.size() / 2));
        EXPECT_EQ(Read(read, dir_ / "cut"), nullptr) << name;
        test::WriteBytes(dir_ / "junk", std::string(bytes.size(), '\x5a'));
        EXPECT_EQ(Read(read, dir_ / "junk"), nullptr) << name;
        // A decode asked to stop gives nothing, though the bitmap it reported stays alive.
        DecodeProgress progress;
        progress.RequestStop();
        EXPECT_EQ(Read(read, dir_ / name, {&progress, true}), nullptr) << name;
        EXPECT_EQ(read(-1, {}), nullptr) << name;
    }
}

} // namespace
} // namespace pirela
