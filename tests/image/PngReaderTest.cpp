#include "image/PngReader.h"

#include "support/ImageFixtures.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <optional>

namespace pirela {
namespace {

constexpr double kNeutralGamma = 1.0 / 2.2; // with the screen's 2.2: samples unchanged

class PngReaderTest : public ::testing::Test {
protected:
    std::unique_ptr<Bitmap> Decode(const test::PngImage& image) {
        const auto file = dir_ / "image.png";
        test::WritePng(file, image);
        return ReadPngFile(file);
    }

    static test::PngImage Uniform(int colourType, int bitDepth, std::vector<std::uint8_t> row,
                                  int width, int height = 2) {
        test::PngImage image;
        image.width = width;
        image.height = height;
        image.colourType = colourType;
        image.bitDepth = bitDepth;
        image.gamma = kNeutralGamma;
        image.rows.assign(static_cast<std::size_t>(height), row);
        return image;
    }

    static std::string Bytes(const Bitmap& bitmap) {
        return std::string(reinterpret_cast<const char*>(bitmap.Pixels()), bitmap.PixelBytes());
    }

    test::TempDir dir_;
};

TEST_F(PngReaderTest, RgbBecomesBlueGreenRedInPaddedBottomUpRows) {
    test::PngImage image = Uniform(PNG_COLOR_TYPE_RGB, 8, {1, 2, 3, 4, 5, 6, 7, 8, 9}, 3);
    image.rows[0] = {10, 20, 30, 40, 50, 60, 70, 80, 90}; // the top row
    const auto bitmap = Decode(image);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->BitCount(), 24);
    EXPECT_EQ(bitmap->Stride(), 12u);
    EXPECT_FALSE(bitmap->IsTopDown());
    const std::uint8_t top[] = {30, 20, 10, 60, 50, 40, 90, 80, 70, 0, 0, 0};
    EXPECT_EQ(std::memcmp(bitmap->MemoryRow(1), top, 12), 0);
    EXPECT_EQ(bitmap->MemoryRow(0)[0], 3);
}

TEST_F(PngReaderTest, GreyAndPaletteKeepTheirDepthWithAColourTable) {
    const auto grey8 = Decode(Uniform(PNG_COLOR_TYPE_GRAY, 8, {0, 128, 255}, 3));
    ASSERT_NE(grey8, nullptr);
    EXPECT_EQ(grey8->BitCount(), 8);
    ASSERT_EQ(grey8->ColourTable().size(), 256u);
    EXPECT_EQ(grey8->ColourTable()[128], (RgbQuad{128, 128, 128, 0}));

    const auto grey1 = Decode(Uniform(PNG_COLOR_TYPE_GRAY, 1, {0xA0}, 3));
    ASSERT_NE(grey1, nullptr);
    EXPECT_EQ(grey1->BitCount(), 1);
    EXPECT_EQ(grey1->ColourTable(), (std::vector<RgbQuad>{{0, 0, 0, 0}, {255, 255, 255, 0}}));
    EXPECT_EQ(grey1->MemoryRow(0)[0], 0xA0);

    const auto grey2 = Decode(Uniform(PNG_COLOR_TYPE_GRAY, 2, {0x1B}, 4));
    ASSERT_NE(grey2, nullptr);
    EXPECT_EQ(grey2->BitCount(), 2);
    EXPECT_EQ(grey2->ColourTable()[1], (RgbQuad{85, 85, 85, 0}));

    test::PngImage paletted = Uniform(PNG_COLOR_TYPE_PALETTE, 8, {0, 15, 3}, 3);
    for (int i = 0; i < 16; ++i) {
        paletted.palette.insert(paletted.palette.end(), {std::uint8_t(i * 16),
                                                         std::uint8_t(i * 8), std::uint8_t(i)});
    }
    const auto palette = Decode(paletted);
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(palette->BitCount(), 8);
    ASSERT_EQ(palette->ColourTable().size(), 256u);
    EXPECT_EQ(palette->ColourTable()[15], (RgbQuad{15, 120, 240, 0}));
    EXPECT_EQ(palette->ColourTable()[16], (RgbQuad{}));
    EXPECT_EQ(palette->MemoryRow(0)[1], 15);
}

TEST_F(PngReaderTest, WithoutGammaChunkMidTonesGetLighter) {
    test::PngImage image = Uniform(PNG_COLOR_TYPE_RGB, 8, {128, 128, 128}, 1);
    const auto neutral = Decode(image);
    image.gamma.reset();
    const auto corrected = Decode(image);
    ASSERT_NE(neutral, nullptr);
    ASSERT_NE(corrected, nullptr);
    EXPECT_EQ(neutral->Pixels()[0], 128);
    EXPECT_GT(corrected->Pixels()[0], 128);
    EXPECT_LT(corrected->Pixels()[0], 150);
}

TEST_F(PngReaderTest, InterlacedEqualsNonInterlaced) {
    test::PngImage image = test::PngFromSamples(test::PhotoLike(37, 29, 3));
    const auto plain = Decode(image);
    image.interlaced = true;
    const auto interlaced = Decode(image);
    ASSERT_NE(plain, nullptr);
    ASSERT_NE(interlaced, nullptr);
    EXPECT_TRUE(Bytes(*plain) == Bytes(*interlaced));
}

TEST_F(PngReaderTest, WideAndAlphaLayoutsAreConvertedNotRefused) {
    const auto rgba = Decode(Uniform(PNG_COLOR_TYPE_RGB_ALPHA, 8, {10, 20, 30, 40}, 1));
    ASSERT_NE(rgba, nullptr);
    EXPECT_EQ(rgba->BitCount(), 32);
    EXPECT_TRUE(rgba->HasAlpha());
    EXPECT_EQ(Bytes(*rgba).substr(0, 4), std::string("\x1E\x14\x0A\x28", 4));

    const auto greyAlpha = Decode(Uniform(PNG_COLOR_TYPE_GRAY_ALPHA, 8, {77, 200}, 1));
    ASSERT_NE(greyAlpha, nullptr);
    EXPECT_EQ(greyAlpha->BitCount(), 32);
    EXPECT_EQ(Bytes(*greyAlpha).substr(0, 4), std::string("\x4D\x4D\x4D\xC8", 4));

    const auto grey16 = Decode(Uniform(PNG_COLOR_TYPE_GRAY, 16, {0x80, 0x00}, 1));
    ASSERT_NE(grey16, nullptr);
    EXPECT_EQ(grey16->BitCount(), 8);
    EXPECT_EQ(grey16->Pixels()[0], 0x80);

    const auto rgb48 = Decode(Uniform(PNG_COLOR_TYPE_RGB, 16, {0x10, 0, 0x20, 0, 0x30, 0}, 1));
    ASSERT_NE(rgb48, nullptr);
    EXPECT_EQ(rgb48->BitCount(), 24);
    EXPECT_FALSE(rgb48->HasAlpha());
    EXPECT_EQ(Bytes(*rgb48).substr(0, 3), std::string("\x30\x20\x10", 3));

    const auto rgba64 =
        Decode(Uniform(PNG_COLOR_TYPE_RGB_ALPHA, 16, {0x10, 0, 0x20, 0, 0x30, 0, 0x40, 0}, 1));
    ASSERT_NE(rgba64, nullptr);
    EXPECT_EQ(rgba64->BitCount(), 32);
    EXPECT_EQ(Bytes(*rgba64).substr(0, 4), std::string("\x30\x20\x10\x40", 4));
}

// Samples 1, 64, 128 and 200 as a screen of gamma 2.2 shows them:
// 255 x (v / 255) ^ (1 / (2.2 x file gamma)), rounded; no chunk means a file gamma of 0.5.
struct GammaCase {
    std::optional<double> fileGamma;
    std::array<std::uint8_t, 4> shown;
};
constexpr std::array<std::uint8_t, 4> kSamples = {1, 64, 128, 200};
const GammaCase kGammaCases[] = {
    {std::nullopt, {2, 73, 136, 204}}, {1 / 2.2, {1, 64, 128, 200}}, {1.0, {21, 136, 186, 228}},
    {0.3, {0, 31, 90, 176}},           {0.8, {11, 116, 172, 222}},
};

// Pixel i is red kSamples[i], green kSamples[i + 1], blue kSamples[i + 2] (counted round), so
// that a channel put in the wrong place shows.
std::uint8_t Channel(const std::array<std::uint8_t, 4>& values, int pixel, int channel) {
    return values[static_cast<std::size_t>((pixel + channel) % 4)];
}

TEST_F(PngReaderTest, EveryColourLayoutShowsTheSameGammaCorrectedColours) {
    for (const GammaCase& gammaCase : kGammaCases) {
        const std::string context = "file gamma " + std::to_string(gammaCase.fileGamma.value_or(0));
        std::vector<std::uint8_t> rgb, rgba, grey, indices, palette;
        std::string expectedBgr, expectedBgra, expectedGrey;
        std::vector<RgbQuad> expectedTable;
        for (int i = 0; i < 4; ++i) {
            const auto& in = kSamples;
            const auto& out = gammaCase.shown;
            rgb.insert(rgb.end(), {Channel(in, i, 0), Channel(in, i, 1), Channel(in, i, 2)});
            rgba.insert(rgba.end(), {Channel(in, i, 0), Channel(in, i, 1), Channel(in, i, 2), 77});
            palette.insert(palette.end(), {Channel(in, i, 0), Channel(in, i, 1), Channel(in, i, 2)});
            grey.push_back(in[static_cast<std::size_t>(i)]);
            indices.push_back(static_cast<std::uint8_t>(i));
            const std::string bgr{char(Channel(out, i, 2)), char(Channel(out, i, 1)),
                                  char(Channel(out, i, 0))};
            expectedBgr += bgr;
            expectedBgra += bgr + '\x4D'; // alpha is never corrected
            expectedGrey += char(out[static_cast<std::size_t>(i)]);
            expectedTable.push_back(RgbQuad{Channel(out, i, 2), Channel(out, i, 1), Channel(out, i, 0), 0});
        }
        const auto decode = [&](int colourType, std::vector<std::uint8_t> row) {
            test::PngImage image = Uniform(colourType, 8, std::move(row), 4, 1);
            image.gamma = gammaCase.fileGamma;
            image.palette = palette;
            return Decode(image);
        };
        EXPECT_EQ(Bytes(*decode(PNG_COLOR_TYPE_RGB, rgb)).substr(0, 12), expectedBgr) << context;
        EXPECT_EQ(Bytes(*decode(PNG_COLOR_TYPE_RGB_ALPHA, rgba)), expectedBgra) << context;
        EXPECT_EQ(Bytes(*decode(PNG_COLOR_TYPE_GRAY, grey)), expectedGrey) << context;
        const auto paletted = decode(PNG_COLOR_TYPE_PALETTE, indices);
        EXPECT_TRUE(std::equal(expectedTable.begin(), expectedTable.end(),
                               paletted->ColourTable().begin()))
            << context;

        // A transparency chunk is not applied, and changes nothing else either.
        test::PngImage withChunk = Uniform(PNG_COLOR_TYPE_PALETTE, 8, indices, 4, 1);
        withChunk.gamma = gammaCase.fileGamma;
        withChunk.palette = palette;
        withChunk.transparency = {0, 128, 255};
        const auto transparent = Decode(withChunk);
        EXPECT_EQ(transparent->ColourTable(), paletted->ColourTable()) << context;
        EXPECT_FALSE(transparent->HasAlpha());
    }
}

TEST_F(PngReaderTest, TruncatedAndForeignFilesGiveNothing) {
    const auto whole = dir_ / "whole.png";
    test::WritePng(whole, test::PngFromSamples(test::PhotoLike(64, 64, 3)));
    const std::string bytes = test::ReadBytes(whole);
    const auto cut = dir_ / "cut.png";
    test::WriteBytes(cut, bytes.substr(0, bytes.size() / 2));
    EXPECT_EQ(ReadPngFile(cut), nullptr);

    const auto jpeg = dir_ / "really.png";
    test::WriteJpeg(jpeg, test::PhotoLike(8, 8, 3), false);
    EXPECT_EQ(ReadPngFile(jpeg), nullptr);
    test::WriteBytes(cut, bytes.substr(0, 3));
    EXPECT_EQ(ReadPngFile(cut), nullptr);

    // The header claims 100000 x 100000 pixels.
    std::string huge = bytes;
    const std::size_t ihdr = huge.find("IHDR");
    huge.replace(ihdr + 4, 8, std::string("\x00\x01\x86\xA0\x00\x01\x86\xA0", 8));
    const auto crc = static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(huge.data() + ihdr), 17));
    for (int i = 0; i < 4; ++i) {
        huge[ihdr + 17 + i] = static_cast<char>(crc >> (24 - 8 * i));
    }
    test::WriteBytes(cut, huge);
    EXPECT_EQ(ReadPngFile(cut), nullptr);
}

} // namespace
} // namespace pirela
