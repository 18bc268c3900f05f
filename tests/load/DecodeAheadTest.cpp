#include "app/CPirelaDoc.h"
#include "support/ImageFixtures.h"
#include "support/RecordingHost.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace pirela {
namespace {

namespace fs = std::filesystem;

// The document decoding the neighbour ahead in a folder of five photos, each a different
// width so that the one shown can be told apart.
class DecodeAheadTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 5; ++i) {
            test::WriteJpeg(Photo(i), test::PhotoLike(200 + i, 100, 3, unsigned(i + 1)), false);
        }
        settings_.options.ask = 0;
        settings_.options.sendType = 0;
        settings_.destinationFolders[0] = sorted_.string();
        fs::create_directories(sorted_);
        recorder_.hasFileListWindow = false;
        doc_.SetViewPlan({0, 0, {50, 50}});
        ASSERT_TRUE(doc_.OpenImageFile(Photo(0)));
        doc_.AwaitListing();
    }
    fs::path Photo(int i) const { return dir_ / ("p" + std::to_string(i) + ".jpg"); }
    // What the user interface does when a worker reports the end of a decode, and after the
    // repaint that follows a new image.
    void SettleShownDecode() {
        doc_.Image().Pixels();
        doc_.OnDecodeEnded();
    }
    void Show(const std::string& path) {
        doc_.ShowListedImage(path);
        SettleShownDecode();
    }
    std::string AheadPath() const {
        return doc_.Loader().Ahead() ? doc_.Loader().Ahead()->Path() : std::string("none");
    }
    // A decode made to show a file at once previews it first (the view fits it into 50 x 50);
    // a decode ahead never does.
    bool ShownFromTheDecodeAhead() const {
        return doc_.Image().Decode() != nullptr && doc_.Image().Decode()->WaitForPreview() == nullptr;
    }
    int ShownWidth() const {
        return doc_.Image().Pixels() ? doc_.Image().Pixels()->Width() : -1;
    }

    test::TempDir dir_;
    const fs::path sorted_ = dir_ / "sorted";
    AppSettings settings_;
    test::RecordingHost recorder_;
    CPirelaDoc doc_{settings_, recorder_, recorder_};
};

TEST_F(DecodeAheadTest, TheNeighbourInTheDirectionOfTravelIsDecodedAheadAndShownFromIt) {
    Show(doc_.NextImage());
    EXPECT_EQ(AheadPath(), Photo(2).string());
    Show(doc_.NextImage());
    EXPECT_TRUE(ShownFromTheDecodeAhead()); // not decoded a second time
    EXPECT_EQ(ShownWidth(), 202);
    EXPECT_EQ(AheadPath(), Photo(3).string());

    Show(doc_.PrevImage());
    EXPECT_EQ(AheadPath(), Photo(0).string());
    // A jump stops the decode ahead; from the last image the way is back.
    Show(doc_.LastImage());
    EXPECT_EQ(AheadPath(), Photo(3).string());
    Show(doc_.JumpImage(-3));
    EXPECT_EQ(AheadPath(), Photo(0).string());
}

TEST_F(DecodeAheadTest, AFileChangedGoneOrSentAfterItsDecodeAheadShowsWhatItIsNow) {
    Show(doc_.NextImage()); // p1 shown, p2 ahead
    doc_.Loader().Ahead()->WaitForBitmap();
    test::WriteJpeg(Photo(2), test::PhotoLike(90, 100, 3), false); // edited meanwhile
    Show(doc_.NextImage());
    EXPECT_FALSE(ShownFromTheDecodeAhead());
    EXPECT_EQ(ShownWidth(), 90);

    doc_.Loader().Ahead()->WaitForBitmap(); // p3
    fs::rename(Photo(3), dir_ / "elsewhere.jpg");
    Show(doc_.NextImage());
    EXPECT_FALSE(doc_.Image().HasBitmap());
    EXPECT_FALSE(doc_.Image().Shown());

    // Sending the shown image moves on to the one decoded ahead.
    Show(doc_.FirstImage());
    EXPECT_EQ(AheadPath(), Photo(1).string());
    ASSERT_TRUE(doc_.SendImageToFolder(0, {}));
    EXPECT_TRUE(ShownFromTheDecodeAhead());
    EXPECT_EQ(ShownWidth(), 201);
    EXPECT_TRUE(fs::exists(sorted_ / "p0.jpg"));
}

TEST_F(DecodeAheadTest, PagingFasterThanImagesDecodeMakesNoPreviews) {
    for (int i = 0; i < 2; ++i) {
        test::WriteJpeg(Photo(i), test::PhotoLike(3000, 2000, 3, unsigned(i + 1)), false);
    }
    doc_.Refresh(); // p0 again, from a fresh decode that takes a while
    Show(doc_.NextImage());
    ASSERT_NE(doc_.Image().Decode(), nullptr);
    // p0's decode was still running when the user moved on (a 3000 x 2000 photo takes tens of
    // milliseconds), so p1 came without a preview; after a pause, a preview is made again.
    EXPECT_EQ(doc_.Image().Decode()->WaitForPreview(), nullptr);
    Show(doc_.FirstImage());
    EXPECT_NE(doc_.Image().Decode()->WaitForPreview(), nullptr);
}

TEST_F(DecodeAheadTest, AReScanWhileADecodeAheadRunsStartsOverFromTheNewNeighbour) {
    Show(doc_.NextImage());
    ASSERT_EQ(AheadPath(), Photo(2).string());
    fs::remove(Photo(2));
    doc_.RescanFolder();
    SettleShownDecode();
    EXPECT_EQ(AheadPath(), Photo(3).string()); // the new neighbour

    EXPECT_EQ(ShownWidth(), 201);
    Show(doc_.NextImage());
    EXPECT_EQ(ShownWidth(), 203);
}

TEST_F(DecodeAheadTest, AFileThatBreaksOffAfterItWasShownBecomesTheFileThatCannotBeDecoded) {
    test::BreakJpegAfterItsRows(Photo(1));

    Show(doc_.NextImage());
    EXPECT_FALSE(doc_.Image().Shown());
    EXPECT_FALSE(doc_.Image().HasBitmap());
    EXPECT_EQ(doc_.Image().Info().width, 0);
    EXPECT_EQ(doc_.Image().Info().fileName, "p1.jpg");
}

} // namespace
} // namespace pirela
