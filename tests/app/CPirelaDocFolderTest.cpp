#include "app/CPirelaDoc.h"

#include "image/Rotation.h"
#include "sandbox/DecoderPool.h"
#include "support/CameraFixtures.h"
#include "support/ImageFixtures.h"
#include "support/MadeUpFolder.h"
#include "support/RecordingHost.h"
#include "support/TempDir.h"
#include "view/StatusTexts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <thread>

namespace pirela {
namespace {

namespace fs = std::filesystem;

class CPirelaDocFolderTest : public ::testing::Test {
protected:
    void Picture(const std::string& name, int width = 4, int height = 3) {
        test::WritePng(dir_ / name, test::PngFromSamples(test::PhotoLike(width, height, 3)));
    }

    void Open() {
        doc_.FileList().SetFolder(dir_.Path().string());
        doc_.ScanFolder();
    }

    // What the window does when a helper's decode ends.
    void Settle() {
        if (const DecodeJob* decode = doc_.Image().Decode()) {
            decode->WaitForBitmap();
        }
        doc_.OnDecodeEnded();
    }

    AppSettings settings_;
    OptionBlock& options_ = settings_.options;
    test::RecordingHost host_;
    CPirelaDoc doc_{settings_, host_, host_};
    test::TempDir dir_;
};

TEST_F(CPirelaDocFolderTest, TheLastImageOpensAgainOnlyWhileItAndItsFolderAreThere) {
    fs::create_directory(dir_ / "sub");
    Picture("a.png");
    Picture("sub/b.png");
    options_.findSubfolder = 1;
    const std::string folder = dir_.Path().string();
    EXPECT_TRUE(doc_.ReopenImage(folder, (dir_ / "sub/b.png").string()));
    doc_.AwaitListing();
    EXPECT_EQ(doc_.FileList().CurrentName(), "sub/b.png");
    EXPECT_EQ(doc_.Image().Info().fileName, "b.png");

    for (const std::pair<std::string, std::string>& gone :
         {std::pair{folder, (dir_ / "c.png").string()}, {folder + "/gone", folder + "/gone/a.png"},
          {folder, folder + "/sub"}, {std::string(), std::string()}}) {
        doc_.ResetDocument();
        host_.Clear();
        EXPECT_FALSE(doc_.ReopenImage(gone.first, gone.second)) << gone.second;
        EXPECT_TRUE(host_.messages.empty()); // nothing to tell: the start is simply empty
        EXPECT_EQ(doc_.FileList().Folder(), "");
    }
}

TEST_F(CPirelaDocFolderTest, APhotoShowsAtOnceAndItsPlaceOnceItsFolderIsListed) {
    Picture("b.png");
    test::MadeUpFolder folder(2, [](int i) { return i == 0 ? "b.png" : "A.png"; });
    std::promise<void> gate;
    folder.HoldUntil(gate.get_future().share());
    doc_.SetDirectoryReader(folder);
    EXPECT_TRUE(doc_.OpenImageFile((dir_ / "b.png").string()));
    EXPECT_TRUE(doc_.Image().HasBitmap());
    EXPECT_TRUE(doc_.ListingPending());
    EXPECT_EQ(host_.busyTexts, std::vector<std::string>{"イメージ ファイルを検索しています..."});
    EXPECT_EQ(ComputeTitle(doc_.Facts()), "Pirela - b.png [ " + dir_.Path().string() + " ] ");
    EXPECT_EQ(ComputeStatusTexts(doc_.Facts(), 100, {}).file, ""); // no place known yet

    gate.set_value();
    host_.Clear();
    doc_.NextImage(); // waits for the list, then finds b.png the last
    EXPECT_FALSE(doc_.ListingPending());
    EXPECT_EQ(doc_.FileList().Names(), (std::vector<std::string>{"A.png", "b.png"}));
    EXPECT_EQ(doc_.FileList().Current(), 1);
    EXPECT_EQ(ComputeStatusTexts(doc_.Facts(), 100, {}).file, "ファイル: 2/2");
    EXPECT_EQ(host_.fileListRows, doc_.FileList().Names());
    EXPECT_EQ(host_.fileListSelection, 1);
    EXPECT_EQ(host_.calls.back(), "status");
}

TEST_F(CPirelaDocFolderTest, EscapeStopsTheListingKeepingWhatItFound) {
    Picture("b.png");
    test::MadeUpFolder endless(1, [](int) { return "b.png"; });
    endless.GoOnSlowly();
    doc_.SetDirectoryReader(endless);
    host_.cancelFileWork = true; // the user presses Escape while the list is awaited
    EXPECT_TRUE(doc_.OpenImageFile((dir_ / "b.png").string()));
    doc_.AwaitListing();
    EXPECT_FALSE(doc_.ListingPending());
    EXPECT_GE(doc_.FileList().Count(), 1);
    EXPECT_EQ(doc_.FileList().Name(0), "b.png");
    EXPECT_EQ(doc_.FileList().Current(), 0);
    EXPECT_EQ(host_.statusMessages.front(), "イメージ ファイルを検索しています...");
}

// Beyond a million names the user is told so, and the folder stays open with a million.
TEST_F(CPirelaDocFolderTest, TooManyImagesAreReportedWithTheFolderAndTheLimit) {
    const test::MadeUpFolder huge(ImageFileList::kCapacity + 1);
    doc_.SetDirectoryReader(huge);
    doc_.FileList().SetFolder(dir_.Path().string());
    doc_.ScanFolder();
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(host_.messages[0],
              dir_.Path().string() +
                  " フォルダには Pirela で一度に扱うことのできるファイル数 1,000,000 を超える数の"
                  "イメージ ファイルが含まれています。フォルダ内のファイルをいくつかに分割するなどの"
                  "処置をしてから再び開いてください。ここでは最初に見つかった 1,000,000 個のファイル"
                  "を表示します。");
    EXPECT_EQ(host_.icons[0], MessageIcon::Warning);
    EXPECT_EQ(doc_.FileList().Count(), ImageFileList::kCapacity);
    EXPECT_EQ(doc_.FileList().Folder(), dir_.Path().string());
    EXPECT_EQ(host_.fileListRows.size(), std::size_t(ImageFileList::kCapacity));
}

// Two cameras of one trip: by name each camera's photos stay together; by date they interleave.
TEST_F(CPirelaDocFolderTest, TheDateOrderSortsAsDatesAreReadAndTheShownPhotoStays) {
    const auto photo = [this](const char* name, const char* taken) {
        test::WriteJpeg(dir_ / name, test::PhotoLike(4, 3, 3), false, 90,
                        test::ExifBlock(1, false, taken, "+09:00"));
    };
    photo("DSC_0001.jpg", "2024:05:01 10:00:00");
    photo("IMG_0001.jpg", "2024:05:01 09:30:00");
    photo("DSC_0002.jpg", "2024:05:01 11:00:00");
    photo("IMG_0002.jpg", "2024:05:01 10:30:00");
    Picture("scan.png"); // no date of its own: written today, it comes last
    options_.sortOrder = static_cast<int>(ListOrder::DateTaken);
    ASSERT_TRUE(doc_.OpenImageFile((dir_ / "DSC_0002.jpg").string()));
    doc_.AwaitListing();
    while (doc_.ReadingDates()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        doc_.OnListingChanged(); // as the host does when the readers tell
    }
    EXPECT_EQ(doc_.FileList().Names(),
              (std::vector<std::string>{"IMG_0001.jpg", "DSC_0001.jpg", "IMG_0002.jpg",
                                        "DSC_0002.jpg", "scan.png"}));
    EXPECT_EQ(doc_.FileList().CurrentName(), "DSC_0002.jpg");
    EXPECT_EQ(host_.fileListSelection, 3);
    EXPECT_EQ(host_.fileListRows, doc_.FileList().Names());

    options_.sortOrder = static_cast<int>(ListOrder::Name);
    doc_.ApplyListOrder();
    EXPECT_EQ(doc_.FileList().Name(0), "DSC_0001.jpg");
    EXPECT_EQ(doc_.FileList().Current(), 1);
    EXPECT_EQ(host_.fileListSelection, 1);
}

TEST_F(CPirelaDocFolderTest, LoadingFillsTheFactsAndKeepsOrDropsTheTurn) {
    Picture("a.png", 4, 3);
    test::WriteFile(dir_ / "broken.png", "not a png");
    test::WriteJpeg(dir_ / "c.jpeg", test::PhotoLike(6, 2, 3), false);

    EXPECT_TRUE(doc_.LoadImageFile((dir_ / "a.png").string()));
    EXPECT_TRUE(doc_.Image().Shown());
    EXPECT_EQ(doc_.Image().Info().fileName, "a.png");
    EXPECT_EQ(doc_.Image().Info().formatCode, 5);
    EXPECT_EQ(doc_.Image().Info().width, 4);

    // A decoder refusal: shown off, the facts say so, and the kept turn waits.
    options_.keepTurnState = 1;
    doc_.ApplyTurn(1);
    EXPECT_TRUE(doc_.LoadImageFile((dir_ / "broken.png").string()));
    EXPECT_FALSE(doc_.Image().Shown());
    EXPECT_FALSE(doc_.Image().HasBitmap());
    EXPECT_EQ(doc_.Image().Info().width, 0);
    EXPECT_EQ(doc_.Image().Info().formatCode, 5);
    EXPECT_EQ(doc_.TurnState(), 1);

    // "jpeg" is decoded when asked for directly; the kept turn is applied to it.
    EXPECT_TRUE(doc_.LoadImageFile((dir_ / "c.jpeg").string()));
    EXPECT_EQ(doc_.Image().Info().formatCode, 3);
    EXPECT_EQ(doc_.TurnState(), 1);
    EXPECT_EQ(doc_.Image().Pixels()->Width(), 2); // 6 x 2 turned left

    options_.keepTurnState = 0;
    EXPECT_TRUE(doc_.LoadImageFile((dir_ / "broken.png").string()));
    EXPECT_EQ(doc_.TurnState(), 0);
}

TEST_F(CPirelaDocFolderTest, WhatCannotBeOpenedIsNamedWithNoFactsOfTheFileBefore) {
    Picture("a.png");
    Picture("b.png");
    Open();
    doc_.ShowListedImage(doc_.NextImage());
    fs::remove(dir_ / "b.png"); // gone since the scan
    doc_.ShowListedImage(doc_.PrevImage());
    ASSERT_TRUE(doc_.Image().HasBitmap());
    fs::remove(dir_ / "a.png");
    doc_.Refresh();
    EXPECT_FALSE(doc_.Image().HasBitmap());
    EXPECT_FALSE(doc_.Image().Shown()); // the view paints the error text naming the file
    EXPECT_EQ(doc_.Image().Info().path, (dir_ / "a.png").string());
    EXPECT_EQ(ComputeTitle(doc_.Facts()), "Pirela - a.png [ " + dir_.Path().string() + " ] ");
    EXPECT_EQ(ComputeStatusTexts(doc_.Facts(), 100, {}), (StatusTexts{"", "", "", "ファイル: 1/2"}));

    fs::create_directory(dir_ / "folder.png");
    EXPECT_FALSE(doc_.LoadImageFile((dir_ / "folder.png").string()));

    test::WriteFile(dir_ / "picture.gif", "GIF89a");
    EXPECT_TRUE(doc_.LoadImageFile((dir_ / "picture.gif").string())); // opened, not decodable
    Settle();
    EXPECT_FALSE(doc_.Image().Shown());
    EXPECT_EQ(doc_.Image().Failure(), HelperFailure::Undecodable);
}

TEST_F(CPirelaDocFolderTest, NavigationMovesAndShowsTheListedImage) {
    for (const char* name : {"a.png", "b.png", "c.png"}) {
        Picture(name);
    }
    Open();
    EXPECT_EQ(doc_.PrevImage(), "");
    EXPECT_EQ(doc_.NextImage(), (dir_ / "b.png").string());
    EXPECT_EQ(doc_.LastImage(), (dir_ / "c.png").string());
    EXPECT_EQ(doc_.NextImage(), "");
    EXPECT_EQ(doc_.LastImage(), "");
    EXPECT_EQ(doc_.JumpImage(-2), (dir_ / "a.png").string());
    EXPECT_EQ(doc_.JumpImage(-1), "");
    EXPECT_EQ(doc_.FirstImage(), "");

    host_.Clear();
    doc_.ShowListedImage(doc_.NextImage());
    EXPECT_EQ(doc_.Image().Info().fileName, "b.png");
    EXPECT_EQ(host_.fileListSelection, 1);
}

TEST_F(CPirelaDocFolderTest, ARescanKeepsTheCurrentImageOrReportsItGone) {
    for (const char* name : {"a.png", "b.png", "c.png"}) {
        Picture(name);
    }
    Open();
    doc_.ShowListedImage(doc_.NextImage()); // b.png
    Picture("0.png");
    host_.Clear();
    doc_.RescanFolder();
    EXPECT_EQ(doc_.FileList().CurrentName(), "b.png");
    EXPECT_EQ(doc_.FileList().Current(), 2);
    EXPECT_TRUE(host_.messages.empty());
    EXPECT_EQ(host_.fileListSelection, 2);

    fs::rename(dir_ / "b.png", dir_ / "renamed.png");
    host_.Clear();
    doc_.RescanFolder();
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(host_.messages[0], "現在表示中のイメージ b.png はすでに存在していないか、ファイル名が"
                                 "変更されています。よってリストの先頭のイメージを表示します。");
    EXPECT_EQ(host_.icons[0], MessageIcon::Information);
    EXPECT_EQ(doc_.FileList().Current(), 0);
    EXPECT_EQ(doc_.Image().Info().fileName, "0.png");
}

TEST_F(CPirelaDocFolderTest, ARescanShowsTheFirstImageOfAFolderThatHadNone) {
    Open();
    EXPECT_EQ(doc_.FileList().Count(), 0);
    Picture("new.png");
    doc_.RescanFolder();
    EXPECT_EQ(doc_.FileList().Count(), 1);
    EXPECT_EQ(doc_.Image().Info().fileName, "new.png");
    EXPECT_TRUE(doc_.Image().HasBitmap());
}

TEST_F(CPirelaDocFolderTest, RemovingTheCurrentEntryMovesToTheNextOrTheNewLast) {
    for (const char* name : {"a.png", "b.png", "c.png"}) {
        Picture(name);
    }
    Open();
    doc_.SyncFileListWindow(std::nullopt);
    EXPECT_EQ(host_.fileListLabel, dir_.Path().string());
    doc_.NextImage();
    doc_.RemoveCurrentEntry();
    EXPECT_EQ(doc_.FileList().CurrentName(), "c.png");
    EXPECT_EQ(host_.fileListRows, (std::vector<std::string>{"a.png", "c.png"}));
    doc_.RemoveCurrentEntry();
    EXPECT_EQ(doc_.FileList().CurrentName(), "a.png");
    doc_.RemoveCurrentEntry();
    EXPECT_EQ(doc_.FileList().Count(), 0);
    EXPECT_FALSE(doc_.FileList().HasCurrentImage());

    host_.Clear();
    doc_.ClearImage();
    EXPECT_EQ(host_.calls[0], "fixed scroll 50x50");
}

TEST_F(CPirelaDocFolderTest, ClosingEmptiesEverything) {
    Picture("a.png");
    Open();
    doc_.LoadImageFile(doc_.FileList().CurrentImagePath());
    doc_.ResetDocument();
    EXPECT_EQ(doc_.FileList().Folder(), "");
    EXPECT_EQ(doc_.FileList().Count(), 0);
    EXPECT_FALSE(doc_.Image().HasBitmap());
    EXPECT_TRUE(doc_.Image().Shown());
    EXPECT_EQ(host_.fileListLabel, "開かれていません...");
    EXPECT_EQ(host_.fileListSelection, -1);
}

TEST_F(CPirelaDocFolderTest, OpeningAFileChecksItsExtensionFirst) {
    Picture("a.png");
    test::WriteJpeg(dir_ / "x.jxl", test::PhotoLike(4, 4, 3), false);
    EXPECT_FALSE(doc_.OpenImageFile((dir_ / "x.jxl").string()));
    EXPECT_EQ(host_.messages, std::vector<std::string>{
                                  "x.jxl - この形式のファイルは Pirela でサポートされていません。"});
    EXPECT_EQ(host_.icons[0], MessageIcon::Information);
    EXPECT_EQ(doc_.FileList().Folder(), ""); // nothing else changed

    fs::create_directory(dir_ / "my.pics");
    test::WriteFile(dir_ / "my.pics" / "readme", "");
    host_.Clear();
    EXPECT_FALSE(doc_.OpenImageFile((dir_ / "my.pics" / "readme").string()));
    EXPECT_EQ(host_.messages, std::vector<std::string>{
                                  "readme - この形式のファイルは Pirela でサポートされていません。"});
}

TEST_F(CPirelaDocFolderTest, OpeningAFileListsItsFolderAndFindsItsPlace) {
    Picture("a.png");
    Picture("b.png");
    Picture(".hidden.png");
    EXPECT_TRUE(doc_.OpenImageFile((dir_ / "b.png").string()));
    doc_.AwaitListing();
    EXPECT_EQ(doc_.FileList().Folder(), dir_.Path().string());
    EXPECT_EQ(doc_.FileList().Current(), 1);
    EXPECT_EQ(doc_.Image().Info().fileName, "b.png");

    // A file outside the list is the current file by its own path: title, reload, error text.
    EXPECT_TRUE(doc_.OpenImageFile((dir_ / ".hidden.png").string()));
    doc_.AwaitListing();
    EXPECT_EQ(doc_.FileList().Current(), -1);
    EXPECT_EQ(doc_.FileList().CurrentImagePath(), (dir_ / ".hidden.png").string());
    EXPECT_EQ(ComputeTitle(doc_.Facts()), "Pirela - .hidden.png [ " + dir_.Path().string() + " ] ");
    doc_.ApplyTurn(kTurnLeft);
    doc_.ResetTurn();
    EXPECT_TRUE(doc_.Image().HasBitmap());
    EXPECT_EQ(doc_.Image().Info().fileName, ".hidden.png");

    test::WriteJpeg(dir_ / "jpeg-inside.png", test::PhotoLike(4, 4, 3), false);
    EXPECT_TRUE(doc_.OpenImageFile((dir_ / "jpeg-inside.png").string()));
    EXPECT_FALSE(doc_.Image().Shown());
    EXPECT_EQ(doc_.Image().Info().formatCode, 5);
    EXPECT_EQ(doc_.Image().Info().width, 0);

    host_.Clear();
    EXPECT_FALSE(doc_.OpenImageFile((dir_ / "missing.png").string()));
    EXPECT_EQ(host_.messages, std::vector<std::string>{
                                  "ファイル " + (dir_ / "missing.png").string() + " が開けません。"});
    EXPECT_EQ(ComputeTitle(doc_.Facts()), "Pirela - missing.png [ " + dir_.Path().string() + " ] ");
    EXPECT_FALSE(doc_.Image().Shown());
    EXPECT_EQ(doc_.FileList().CurrentImagePath(), (dir_ / "missing.png").string());
}

TEST_F(CPirelaDocFolderTest, AFolderWithoutImagesSaysSo) {
    // The message stands over the empty folder's own title and panes, not the picture before.
    struct TitleAtMessage : test::RecordingHost {
        const CPirelaDoc* doc = nullptr;
        std::string title;
        std::string file;
        MessageAnswer ShowCaptionedMessage(const std::string& caption, const std::string& text,
                                           MessageIcon icon, MessageButtons buttons) override {
            title = ComputeTitle(doc->Facts());
            file = ComputeStatusTexts(doc->Facts(), 100, {}).file;
            return RecordingHost::ShowCaptionedMessage(caption, text, icon, buttons);
        }
    } host;
    CPirelaDoc doc(settings_, host, host);
    host.doc = &doc;
    fs::create_directory(dir_ / "empty");
    Picture("a.png");
    ASSERT_TRUE(doc.OpenImageFolder(dir_.Path().string()));
    const std::string empty = (dir_ / "empty").string();
    EXPECT_FALSE(doc.OpenImageFolder(empty + "/"));
    EXPECT_EQ(doc.FileList().Folder(), empty);
    EXPECT_EQ(host.messages,
              std::vector<std::string>{empty + " には開けるイメージ ファイルがありません。"});
    EXPECT_EQ(host.title, "Pirela [ " + empty + " ] ");
    EXPECT_EQ(host.file, "ファイル: 0/0");
    EXPECT_NE(std::find(host.calls.begin(), host.calls.end(), "fixed scroll 100x100"),
              host.calls.end());
    EXPECT_TRUE(doc.Image().Shown());
}

TEST_F(CPirelaDocFolderTest, APathFromOutsideAsksAboutSubfolders) {
    fs::create_directory(dir_ / "sub");
    test::WritePng(dir_ / "sub" / "deep.png", test::PngFromSamples(test::PhotoLike(2, 2, 3)));
    host_.answers = {MessageAnswer::Yes};
    EXPECT_TRUE(doc_.OnOpenDocument(dir_.Path().string()));
    EXPECT_EQ(host_.messages[0], dir_.Path().string() +
                                     "\nこのフォルダに含まれるサブフォルダのイメージも検索しますか?");
    EXPECT_EQ(host_.icons[0], MessageIcon::Question);
    EXPECT_EQ(settings_.options.findSubfolder, 1);
    EXPECT_EQ(settings_.lastSelectFolder, dir_.Path().string());
    EXPECT_EQ(doc_.FileList().Names(), std::vector<std::string>{"sub/deep.png"});

    host_.answers = {MessageAnswer::No};
    EXPECT_TRUE(doc_.OnOpenDocument((dir_ / "sub" / "deep.png").string()));
    EXPECT_EQ(settings_.options.findSubfolder, 0);
    EXPECT_EQ(settings_.lastSelectFolder, (dir_ / "sub").string());
    EXPECT_EQ(doc_.Image().Info().fileName, "deep.png");
}

TEST_F(CPirelaDocFolderTest, APhotoTakenOnItsSideIsShownUprightAndTurnsOnTopOfThat) {
    test::WriteOrientedJpeg(dir_ / "portrait.jpg", test::PhotoLike(40, 30, 3), 6);
    Picture("z.png");
    ASSERT_TRUE(doc_.OpenImageFile((dir_ / "portrait.jpg").string()));
    // The facts, and so the status bar, the fit, the clipboard and the properties, are upright.
    EXPECT_EQ(doc_.Image().Info().width, 30);
    EXPECT_EQ(doc_.Image().Info().height, 40);
    doc_.ApplyTurn(kTurnLeft);
    EXPECT_EQ(doc_.Image().Pixels()->Width(), 40);
    EXPECT_EQ(doc_.TurnState(), kTurnLeft);

    // Turned off in the options: the photo is read again as stored.
    options_.applyOrientation = 0;
    doc_.ApplyDecodeSettings();
    EXPECT_EQ(doc_.Image().Info().width, 40);
    EXPECT_EQ(doc_.Image().Pixels()->Width(), 40);
    EXPECT_EQ(doc_.TurnState(), 0);
    const std::size_t loads = std::count(host_.calls.begin(), host_.calls.end(), "title");
    doc_.ApplyDecodeSettings(); // unchanged: not read again
    EXPECT_EQ(std::count(host_.calls.begin(), host_.calls.end(), "title"), long(loads));
}

TEST_F(CPirelaDocFolderTest, TheNewFormatsAreListedUnlessTheScanIsToldNot) {
    Picture("a.png");
    test::WriteWebp(dir_ / "b.webp", test::PhotoLike(5, 5, 3), true);
    test::WriteJpeg(dir_ / "c.jpeg", test::PhotoLike(5, 5, 3), false);
    Open();
    EXPECT_EQ(doc_.FileList().Names(), (std::vector<std::string>{"a.png", "b.webp", "c.jpeg"}));
    options_.findNewFormats = 0;
    Open();
    EXPECT_EQ(doc_.FileList().Names(), std::vector<std::string>{"a.png"});
    // Opened by name, a file of a new format is still shown, outside the list.
    EXPECT_TRUE(doc_.OpenImageFile((dir_ / "b.webp").string()));
    doc_.AwaitListing();
    EXPECT_EQ(doc_.FileList().Current(), -1);
    EXPECT_EQ(doc_.Image().Info().formatCode, static_cast<int>(ImageFormat::WebP));
    Settle();
    EXPECT_TRUE(doc_.Image().HasBitmap());
}

// A helper's bitmap comes whole when it answers, maybe seconds later: the document never waits
// for it, says it is loading, and takes size and kept turn when it comes; a helper that gives
// nothing leaves the file failed with the reason.
TEST_F(CPirelaDocFolderTest, AHelpersImageLoadsWhileTheDocumentGoesOn) {
    DecoderPool::Shared().SetProgram(PIRELA_DECODER_HOOKS_PROGRAM);
    Picture("a.png");
    test::WriteFile(dir_ / "slow.webp", "PIRELA-TEST-HOOK:slow\n"); // a 64 x 32 bitmap in 1 s
    Open();
    ASSERT_TRUE(doc_.LoadImageFile((dir_ / "a.png").string()));
    options_.keepTurnState = 1;
    doc_.ApplyTurn(kTurnLeft);
    ASSERT_TRUE(doc_.LoadImageFile((dir_ / "slow.webp").string()));
    EXPECT_TRUE(doc_.Image().Loading());
    EXPECT_FALSE(doc_.Image().HasBitmap());
    EXPECT_EQ(ComputeStatusTexts(doc_.Facts(), 100, {}).image, "読み込み中...");
    Settle();
    ASSERT_TRUE(doc_.Image().HasBitmap());
    EXPECT_EQ(doc_.Image().Pixels()->Width(), 32); // turned as the image before
    EXPECT_EQ(ComputeStatusTexts(doc_.Facts(), 100, {}).image, "イメージ: 64 x 32, 24 ビット");

    DecoderPool::Shared().SetProgram((dir_ / "missing").string());
    test::WriteFile(dir_ / "other.webp", "PIRELA-TEST-HOOK:slow\n"); // no decode ahead of it
    ASSERT_TRUE(doc_.LoadImageFile((dir_ / "other.webp").string()));
    Settle();
    EXPECT_FALSE(doc_.Image().Shown());
    EXPECT_EQ(doc_.Image().Failure(), HelperFailure::Missing);
    DecoderPool::Shared().SetProgram(PIRELA_DECODER_PROGRAM);
}

} // namespace
} // namespace pirela
