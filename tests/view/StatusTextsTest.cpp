#include "view/StatusTexts.h"

#include "app/CPirelaDoc.h"
#include "support/RecordingHost.h"

#include <gtest/gtest.h>

namespace pirela {
namespace {

TEST(StatusTextsTest, FileSizesInThreeSignificantDigits) {
    EXPECT_EQ(FormatFileSize(0), "0 ");
    EXPECT_EQ(FormatFileSize(512), "512 ");
    EXPECT_EQ(FormatFileSize(999), "999 ");
    EXPECT_EQ(FormatFileSize(1000), "0.97 K");
    EXPECT_EQ(FormatFileSize(1536), "1.50 K");
    EXPECT_EQ(FormatFileSize(100000), "97.6 K");
    EXPECT_EQ(FormatFileSize(1048576), "1.00 M");
    EXPECT_EQ(FormatFileSize(1023999), "999 K");
    EXPECT_EQ(FormatFileSize(1048575999), "1000 M"); // printing carries it up to 1000.000
    EXPECT_EQ(FormatFileSize(5LL << 30), "5.00 G");
}

class StatusTextsDocTest : public ::testing::Test {
protected:
    void ShowImage(int width, int height) {
        BitmapInfoHeader header;
        header.width = width;
        header.height = height;
        header.bitCount = 24;
        doc_.Image().Install(Bitmap::Create(header));
        doc_.Image().FillInfo(ImageInfo{"/Photos/cat.jpg", "cat.jpg", 1536, 0, 3});
    }

    AppSettings settings_;
    test::RecordingHost host_;
    CPirelaDoc doc_{settings_, host_, host_};
};

TEST_F(StatusTextsDocTest, NothingOpenShowsNothing) {
    EXPECT_EQ(ComputeStatusTexts(doc_.Facts(), 100, {}), StatusTexts{});
    EXPECT_EQ(ComputeTitle(doc_.Facts()), "Pirela");
}

TEST_F(StatusTextsDocTest, AFolderWithoutImagesShowsOnlyItsPosition) {
    doc_.FileList().SetFolder("/Photos");
    EXPECT_EQ(ComputeStatusTexts(doc_.Facts(), 100, {}), (StatusTexts{"", "", "", "ファイル: 0/0"}));
    EXPECT_EQ(ComputeTitle(doc_.Facts()), "Pirela [ /Photos ] ");
}

TEST_F(StatusTextsDocTest, AnImageShowsSizeDepthZoomAndPosition) {
    doc_.FileList().SetFolder("/Photos");
    doc_.FileList().AddFileName("2001/cat.jpg");
    doc_.FileList().AddFileName("dog.jpg");
    ShowImage(1000, 600);
    EXPECT_EQ(ComputeStatusTexts(doc_.Facts(), 100, {1000, 600}),
              (StatusTexts{"イメージ: 1000 x 600, 24 ビット", "1.50 KB", "100.0 %", "ファイル: 1/2"}));
    EXPECT_EQ(ComputeStatusTexts(doc_.Facts(), kRateFit, {333, 200}).zoom, "33.3 %");
    EXPECT_EQ(ComputeTitle(doc_.Facts()), "Pirela - 2001/cat.jpg [ /Photos ] ");

    // A quarter turn measures the zoom against the loaded height.
    doc_.ApplyTurn(1);
    EXPECT_EQ(ComputeStatusTexts(doc_.Facts(), kRateFit, {300, 500}).zoom, "50.0 %");
    EXPECT_EQ(ComputeStatusTexts(doc_.Facts(), kRateFit, {300, 500}).image, "イメージ: 1000 x 600, 24 ビット");

    // Not decodable: size and position, no image or zoom.
    doc_.Image().Discard();
    doc_.Image().SetShown(false);
    EXPECT_EQ(ComputeStatusTexts(doc_.Facts(), 100, {}), (StatusTexts{"", "1.50 KB", "", "ファイル: 1/2"}));
}

TEST_F(StatusTextsDocTest, ARawFileSaysItShowsTheCamerasPreview) {
    doc_.FileList().SetFolder("/Photos");
    doc_.FileList().AddFileName("IMG_1.CR3");
    ShowImage(1620, 1080);
    doc_.Image().FillInfo(ImageInfo{"/Photos/IMG_1.CR3", "IMG_1.CR3", 1536, 0,
                                    static_cast<int>(ImageFormat::Raw)});
    EXPECT_EQ(ComputeStatusTexts(doc_.Facts(), 100, {1620, 1080}).image,
              "イメージ: 1620 x 1080, 24 ビット (カメラのプレビュー)");
}

} // namespace
} // namespace pirela
