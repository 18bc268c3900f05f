#include "app/CPirelaDoc.h"

#include "image/Rotation.h"
#include "support/RecordingHost.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pirela {
namespace {

std::unique_ptr<Bitmap> Picture(int width, int height, int bitCount) {
    BitmapInfoHeader header;
    header.width = width;
    header.height = height;
    header.bitCount = static_cast<std::uint16_t>(bitCount);
    auto bitmap = Bitmap::Create(header, bitCount <= 8 ? std::vector<RgbQuad>(1u << bitCount)
                                                       : std::vector<RgbQuad>{});
    for (std::size_t i = 0; i < bitmap->PixelBytes(); ++i) {
        bitmap->Pixels()[i] = static_cast<std::uint8_t>(i * 13 + 5);
    }
    return bitmap;
}

std::string PixelBytes(const CPirelaDoc& doc) {
    const Bitmap& bitmap = *doc.Image().Pixels();
    std::string bytes;
    for (int y = 0; y < bitmap.Height(); ++y) {
        bytes.append(reinterpret_cast<const char*>(bitmap.PictureRow(y)),
                     std::size_t(bitmap.Width()) * bitmap.BitCount() / 8);
    }
    return bytes;
}

class CPirelaDocTest : public ::testing::Test {
protected:
    AppSettings settings_;
    OptionBlock& options_ = settings_.options;
    test::RecordingHost recorder_;
    CPirelaDoc doc_{settings_, recorder_, recorder_};
};

TEST_F(CPirelaDocTest, TurnsAddUpAndUndoEachOther) {
    doc_.Image().Install(Picture(3, 2, 24));
    const std::string loaded = PixelBytes(doc_);

    doc_.ApplyTurn(kTurnLeft);
    doc_.ApplyTurn(kTurnRight);
    EXPECT_EQ(doc_.TurnState(), 0);
    EXPECT_EQ(PixelBytes(doc_), loaded);

    doc_.ApplyTurn(kTurnRight);
    const std::string right = PixelBytes(doc_);
    doc_.ApplyTurn(kTurnLeft);
    doc_.ApplyTurn(kTurnLeft);
    doc_.ApplyTurn(kTurnLeft);
    doc_.ApplyTurn(kTurnLeft);
    EXPECT_EQ(doc_.TurnState(), 3);
    EXPECT_EQ(PixelBytes(doc_), right);
}

TEST_F(CPirelaDocTest, AHalfTurnMirrorsBothWays) {
    doc_.Image().Install(Picture(3, 2, 24));
    const Bitmap& before = *doc_.Image().Pixels();
    std::string expected;
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            expected.append(reinterpret_cast<const char*>(before.PictureRow(1 - y)) + 3 * (2 - x), 3);
        }
    }
    recorder_.Clear();
    doc_.ApplyTurn(kTurnHalf);
    EXPECT_EQ(doc_.TurnState(), 2);
    EXPECT_EQ(doc_.Image().Pixels()->Width(), 3);
    EXPECT_EQ(PixelBytes(doc_), expected);
    EXPECT_EQ(recorder_.calls,
              (std::vector<std::string>{"wait", "views", "scroll", "status", "end wait"}));
}

TEST_F(CPirelaDocTest, LowDepthImagesAreRefusedAndTheKeptTurnIsDropped) {
    doc_.Image().Install(Picture(8, 8, 4));
    doc_.Image().SetTurnState(1);
    const std::uint64_t generation = doc_.Image().Generation();
    recorder_.Clear();
    doc_.ApplyTurn(kTurnLeft);
    EXPECT_EQ(recorder_.calls, (std::vector<std::string>{"wait", "message", "end wait"}));
    EXPECT_EQ(recorder_.messages,
              std::vector<std::string>{"4 ビット以下の画像は回転表示できません。"});
    EXPECT_EQ(recorder_.icons, std::vector<MessageIcon>{MessageIcon::Warning});
    EXPECT_EQ(doc_.TurnState(), 0);
    EXPECT_EQ(doc_.Image().Generation(), generation);
}

TEST_F(CPirelaDocTest, AKeptTurnIsReappliedToTheNextImage) {
    doc_.Image().Install(Picture(4, 2, 24));
    doc_.ApplyTurn(kTurnRight);
    ASSERT_EQ(doc_.TurnState(), 3);

    // What a load does with a kept turn: the new, unturned image receives the same turn.
    const int kept = doc_.TurnState();
    doc_.Image().Install(Picture(5, 3, 24));
    doc_.Image().SetTurnState(0);
    doc_.ApplyTurn(kept);
    EXPECT_EQ(doc_.TurnState(), 3);
    EXPECT_EQ(doc_.Image().Pixels()->Width(), 3);
    EXPECT_EQ(doc_.Image().Pixels()->Height(), 5);
}

TEST_F(CPirelaDocTest, NothingToTurnChangesNothing) {
    doc_.ApplyTurn(kTurnLeft);
    EXPECT_EQ(doc_.TurnState(), 0);
    doc_.Image().Install(Picture(2, 2, 24));
    recorder_.Clear();
    doc_.ApplyTurn(0);
    EXPECT_EQ(recorder_.calls, (std::vector<std::string>{"wait", "end wait"}));
}

TEST(DecodedImageTest, InfoDescribesTheImageAsLoaded) {
    DecodedImage image;
    EXPECT_TRUE(image.Shown());
    image.Install(Picture(7, 5, 8));
    image.FillInfo(ImageInfo{"/p/a.png", "a.png", 1234, 99, 5});
    EXPECT_EQ(image.Info().width, 7);
    EXPECT_EQ(image.Info().bitsPerPixel, 8);
    EXPECT_EQ(image.Info().resolutionX, 72);
    image.Discard();
    image.FillInfo(ImageInfo{"/p/b.jpg", "b.jpg", 1, 2, 3});
    EXPECT_EQ(image.Info().width, 0);
    EXPECT_EQ(image.Info().formatCode, 3);
}

} // namespace
} // namespace pirela
