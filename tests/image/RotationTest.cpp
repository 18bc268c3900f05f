#include "image/Rotation.h"

#include "support/ChildProcess.h"

#include <gtest/gtest.h>

#include <random>

namespace pirela {
namespace {

// A bitmap whose pixel (x, y) holds bytes that name its place, so turned pixels can be traced.
std::unique_ptr<Bitmap> Numbered(int width, int height, int bitCount, bool topDown = false) {
    BitmapInfoHeader header;
    header.width = width;
    header.height = topDown ? -height : height;
    header.bitCount = static_cast<std::uint16_t>(bitCount);
    auto bitmap = Bitmap::Create(header, bitCount == 8 ? std::vector<RgbQuad>(256) : std::vector<RgbQuad>{});
    const int bytes = bitCount / 8;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            for (int b = 0; b < bytes; ++b) {
                bitmap->PictureRow(y)[x * bytes + b] = static_cast<std::uint8_t>(x * 31 + y * 7 + b);
            }
        }
    }
    return bitmap;
}

std::string PixelAt(const Bitmap& bitmap, int x, int y) {
    const int bytes = bitmap.BitCount() / 8;
    return std::string(reinterpret_cast<const char*>(bitmap.PictureRow(y)) + x * bytes, bytes);
}

TEST(RotationTest, QuarterTurnsMovePixelsWhereTheyBelong) {
    for (int bitCount : {8, 16, 24, 32}) {
        for (bool topDown : {false, true}) {
            // Sizes that are not multiples of the copy tiles.
            const auto source = Numbered(70, 45, bitCount, topDown);
            const auto left = TurnBitmapQuarter(*source, kTurnLeft);
            const auto right = TurnBitmapQuarter(*source, kTurnRight);
            ASSERT_NE(left, nullptr);
            ASSERT_NE(right, nullptr);
            ASSERT_EQ(left->Width(), 45);
            ASSERT_EQ(left->Height(), 70);
            EXPECT_FALSE(left->IsTopDown());
            bool allMatch = true;
            for (int y = 0; y < 70; ++y) {
                for (int x = 0; x < 45; ++x) {
                    allMatch = allMatch && PixelAt(*left, x, y) == PixelAt(*source, 69 - y, x) &&
                               PixelAt(*right, x, y) == PixelAt(*source, y, 44 - x);
                }
            }
            EXPECT_TRUE(allMatch) << bitCount << " bits, top-down " << topDown;
        }
    }
}

TEST(RotationTest, ATwoPixelRowTurnsToAColumn) {
    const auto ab = Numbered(2, 1, 24);
    const std::string a = PixelAt(*ab, 0, 0);
    const std::string b = PixelAt(*ab, 1, 0);
    const auto left = TurnBitmapQuarter(*ab, kTurnLeft);
    const auto right = TurnBitmapQuarter(*ab, kTurnRight);
    EXPECT_EQ(PixelAt(*left, 0, 0), b);
    EXPECT_EQ(PixelAt(*left, 0, 1), a);
    EXPECT_EQ(PixelAt(*right, 0, 0), a);
}

TEST(RotationTest, TheTurnedBitmapKeepsColoursMasksAndAlpha) {
    BitmapInfoHeader header;
    header.width = 3;
    header.height = 2;
    header.bitCount = 8;
    std::vector<RgbQuad> palette(256);
    palette[5] = RgbQuad{1, 2, 3, 0};
    const auto indexed = Bitmap::Create(header, palette);
    EXPECT_EQ(TurnBitmapQuarter(*indexed, kTurnLeft)->ColourTable(), palette);

    header.bitCount = 16;
    header.compression = kBiBitfields;
    const Bitmap::ColourMasks masks565{0xF800, 0x07E0, 0x001F};
    const auto rgb565 = Bitmap::Create(header, {}, masks565);
    const auto turned565 = TurnBitmapQuarter(*rgb565, kTurnRight);
    EXPECT_TRUE(turned565->HasColourMasks());
    EXPECT_EQ(turned565->Masks(), masks565);

    header.bitCount = 32;
    header.compression = kBiRgb;
    auto rgba = Bitmap::Create(header);
    rgba->SetHasAlpha(true);
    EXPECT_TRUE(TurnBitmapQuarter(*rgba, kTurnLeft)->HasAlpha());
}

TEST(RotationTest, LowDepthsAndOddDirectionsAreRefused) {
    BitmapInfoHeader header;
    header.width = 4;
    header.height = 4;
    header.bitCount = 4;
    const auto nibbles = Bitmap::Create(header, std::vector<RgbQuad>(16));
    EXPECT_EQ(TurnBitmapQuarter(*nibbles, kTurnLeft), nullptr);
    const auto rgb = Numbered(4, 4, 24);
    EXPECT_EQ(TurnBitmapQuarter(*rgb, kTurnHalf), nullptr);
    EXPECT_EQ(TurnBitmapQuarter(*rgb, 0), nullptr);
}

TEST(RotationTest, ATallBitmapTurnsInLittleMoreThanItsOwnMemoryAndFailsSoftlyBelowThat) {
    if (test::kAddressSanitizer) {
        GTEST_SKIP() << "AddressSanitizer reserves more address space than any limit allows";
    }
    if (test::kThreadSanitizer) {
        GTEST_SKIP() << "ThreadSanitizer ends the process when an allocation fails";
    }
    constexpr int kRows = 1 << 25; // 128 MiB of 4-byte rows
    constexpr std::uint64_t kMiB = 1 << 20;
    const auto turnWithRoomFor = [](std::uint64_t room) {
        BitmapInfoHeader header;
        header.width = 4;
        header.height = kRows;
        header.bitCount = 8;
        const auto tall = Bitmap::Create(header, std::vector<RgbQuad>(256));
        if (!tall || !test::LimitAddressSpaceTo(room)) {
            return test::kChildCannotPrepare;
        }
        tall->PictureRow(0)[3] = 7; // the top right pixel leads a left turn
        const auto turned = TurnBitmapQuarter(*tall, kTurnLeft);
        if (!turned) {
            return tall->PictureRow(0)[3] == 7 ? 1 : 2;
        }
        return turned->Width() == kRows && turned->PictureRow(0)[0] == 7 ? 0 : 3;
    };
    const int roomy = test::ExitCodeInChild([&] { return turnWithRoomFor(128 * kMiB + 48 * kMiB); });
    const int tight = test::ExitCodeInChild([&] { return turnWithRoomFor(64 * kMiB); });
    if (roomy == test::kChildCannotPrepare || tight == test::kChildCannotPrepare) {
        GTEST_SKIP() << "the bitmap or the memory limit could not be set up";
    }
    EXPECT_EQ(roomy, 0) << "the turn itself needs no more than the new bitmap";
    EXPECT_EQ(tight, 1) << "without room for the new bitmap, no turn and the source unchanged";
}

} // namespace
} // namespace pirela
