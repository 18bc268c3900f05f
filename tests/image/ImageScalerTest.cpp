#include "image/ImageScaler.h"

#include "image/PixelRowConverter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace pirela {
namespace {

std::unique_ptr<Bitmap> Make(int width, int height, int bitCount, bool hasAlpha = false) {
    BitmapInfoHeader header;
    header.width = width;
    header.height = height;
    header.bitCount = static_cast<std::uint16_t>(bitCount);
    std::vector<RgbQuad> table;
    for (int i = 0; bitCount <= 8 && i < (1 << bitCount); ++i) {
        table.push_back({static_cast<std::uint8_t>(i * 37), static_cast<std::uint8_t>(255 - i),
                         static_cast<std::uint8_t>(i * 91), 0});
    }
    auto bitmap = Bitmap::Create(header, table);
    bitmap->SetHasAlpha(hasAlpha);
    return bitmap;
}

void FillRandomly(Bitmap& bitmap, unsigned seed) {
    std::minstd_rand random(seed);
    for (std::size_t i = 0; i < bitmap.PixelBytes(); ++i) {
        bitmap.Pixels()[i] = static_cast<std::uint8_t>(random());
    }
}

void SetBgr(Bitmap& bitmap, int x, int y, std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
    std::uint8_t* pixel = bitmap.PictureRow(y) + 3 * x;
    pixel[0] = blue;
    pixel[1] = green;
    pixel[2] = red;
}

int Channel(std::uint32_t pixel, int channel) {
    return static_cast<int>(pixel >> (8 * channel) & 0xFF);
}

// The exact area average of the converted source, in floating point: the slow way to be sure
// of what the fast one should give.
double ExactMean(const Bitmap& bitmap, int width, int height, int x, int y, int channel) {
    const PixelRowConverter converter(bitmap);
    std::vector<std::uint32_t> row(static_cast<std::size_t>(bitmap.Width()));
    const double across = double(bitmap.Width()) / width;
    const double down = double(bitmap.Height()) / height;
    double sum = 0;
    for (int sy = 0; sy < bitmap.Height(); ++sy) {
        const double coverY = std::max(0.0, std::min(sy + 1.0, (y + 1) * down) - std::max(double(sy), y * down));
        if (coverY == 0) {
            continue;
        }
        converter.Convert(sy, row.data());
        for (int sx = 0; sx < bitmap.Width(); ++sx) {
            const double coverX =
                std::max(0.0, std::min(sx + 1.0, (x + 1) * across) - std::max(double(sx), x * across));
            sum += coverX * coverY * Channel(row[static_cast<std::size_t>(sx)], channel);
        }
    }
    return sum / (across * down);
}

TEST(ImageScalerTest, AFlatColourStaysExactlyThatColour) {
    const struct {
        int sourceWidth, sourceHeight, width, height;
    } cases[] = {{7, 5, 3, 2}, {100, 37, 13, 11}, {31, 17, 31, 4}, {1000, 3, 1, 1}, {9, 400, 2, 7}};
    for (const auto& c : cases) {
        auto bitmap = Make(c.sourceWidth, c.sourceHeight, 24);
        for (int y = 0; y < c.sourceHeight; ++y) {
            for (int x = 0; x < c.sourceWidth; ++x) {
                SetBgr(*bitmap, x, y, 17, 200, 99);
            }
        }
        const auto picture = ScaleDown(*bitmap, c.width, c.height);
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->pixels, std::vector<std::uint32_t>(picture->pixels.size(), 0xFF63C811u))
            << c.sourceWidth << "x" << c.sourceHeight << " -> " << c.width << "x" << c.height;
    }
}

TEST(ImageScalerTest, TwoByTwoAveragesToOneExactly) {
    auto bitmap = Make(2, 2, 24);
    SetBgr(*bitmap, 0, 0, 0, 255, 1);
    SetBgr(*bitmap, 1, 0, 255, 0, 2);
    SetBgr(*bitmap, 0, 1, 10, 20, 3);
    SetBgr(*bitmap, 1, 1, 3, 1, 6);
    const auto picture = ScaleDown(*bitmap, 1, 1);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->pixels, std::vector<std::uint32_t>{0xFF034543u}); // 12/4, 276/4, 268/4
}

TEST(ImageScalerTest, FiveToThreeWeighsPartlyCoveredPixelsByTheirShare) {
    // Each target pixel covers 5/3 source pixels: 3/5 + 2/5, then 1/5 + 3/5 + 1/5, then 2/5 + 3/5.
    const std::uint8_t values[] = {0, 50, 100, 150, 200};
    const std::uint32_t expected[] = {20, 100, 180};
    for (bool across : {true, false}) {
        auto bitmap = across ? Make(5, 1, 24) : Make(1, 5, 24);
        for (int i = 0; i < 5; ++i) {
            SetBgr(*bitmap, across ? i : 0, across ? 0 : i, values[i], 0, 0);
        }
        const auto picture = ScaleDown(*bitmap, across ? 3 : 1, across ? 1 : 3);
        ASSERT_TRUE(picture);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(picture->pixels[static_cast<std::size_t>(i)], 0xFF000000u | expected[i])
                << (across ? "across" : "down") << " " << i;
        }
    }
}

TEST(ImageScalerTest, AlphaAveragesPremultipliedColours) {
    // Opaque red beside transparent white: the white must not show, so green and blue stay 0.
    auto bitmap = Make(2, 1, 32, true);
    const std::uint8_t bgra[] = {0, 0, 255, 255, 255, 255, 255, 0};
    std::copy(std::begin(bgra), std::end(bgra), bitmap->PictureRow(0));
    const auto picture = ScaleDown(*bitmap, 1, 1);
    ASSERT_TRUE(picture);
    EXPECT_TRUE(picture->hasAlpha);
    EXPECT_EQ(picture->pixels, std::vector<std::uint32_t>{0x80800000u});
}

TEST(ImageScalerTest, EveryPixelFormatAveragesAsItsConvertedRows) {
    const struct {
        int bitCount;
        bool hasAlpha;
    } formats[] = {{1, false}, {2, false}, {4, false}, {8, false}, {16, false}, {24, false}, {32, false}, {32, true}};
    const struct {
        int sourceWidth, sourceHeight, width, height;
    } sizes[] = {{13, 9, 5, 4}, {257, 5, 3, 2}, {6, 300, 6, 7}, {11, 6, 11, 6}};
    for (const auto& format : formats) {
        for (const auto& size : sizes) {
            auto bitmap = Make(size.sourceWidth, size.sourceHeight, format.bitCount, format.hasAlpha);
            FillRandomly(*bitmap, static_cast<unsigned>(format.bitCount * 7 + size.width));
            const auto picture = ScaleDown(*bitmap, size.width, size.height);
            ASSERT_TRUE(picture);
            int worst = 0; // in hundredths of a level beyond the half that rounding allows
            for (int y = 0; y < size.height; ++y) {
                for (int x = 0; x < size.width; ++x) {
                    for (int channel = 0; channel < 4; ++channel) {
                        const double exact = ExactMean(*bitmap, size.width, size.height, x, y, channel);
                        const int got = Channel(picture->pixels[std::size_t(y) * size.width + x], channel);
                        worst = std::max(worst, int(std::lround((std::abs(got - exact) - 0.5) * 100)));
                    }
                }
            }
            EXPECT_LE(worst, 1) << format.bitCount << " bits, alpha " << format.hasAlpha << ", "
                                << size.sourceWidth << "x" << size.sourceHeight << " -> "
                                << size.width << "x" << size.height;
        }
    }
}

TEST(ImageScalerTest, TheSameSizeGivesTheConvertedPixelsThemselves) {
    for (bool hasAlpha : {false, true}) {
        auto bitmap = Make(7, 3, 32, hasAlpha);
        FillRandomly(*bitmap, 5);
        const auto picture = ScaleDown(*bitmap, 7, 3);
        ASSERT_TRUE(picture);
        std::vector<std::uint32_t> expected(21);
        const PixelRowConverter converter(*bitmap);
        for (int y = 0; y < 3; ++y) {
            converter.Convert(y, expected.data() + 7 * y);
        }
        EXPECT_EQ(picture->pixels, expected);
    }
}

TEST(ImageScalerTest, GivesNoneWhenCancelledOrAskedToGrow) {
    auto bitmap = Make(40, 30, 24);
    const std::atomic<bool> cancel{true};
    EXPECT_FALSE(ScaleDown(*bitmap, 20, 15, &cancel));
    EXPECT_FALSE(ScaleDown(*bitmap, 40, 30, &cancel));
    EXPECT_FALSE(ScaleDown(*bitmap, 41, 30));
    EXPECT_FALSE(ScaleDown(*bitmap, 20, 0));
}

} // namespace
} // namespace pirela
