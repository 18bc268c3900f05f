// Photos chosen together are sent or trashed as one operation of the journal: one question
// naming their count, the overwrite question once with "すべてに適用", and one undo that brings
// every one of them back.
#include "app/CPirelaDoc.h"
#include "support/ImageFixtures.h"
#include "support/RecordingHost.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace pirela {
namespace {

namespace fs = std::filesystem;

class SeveralPhotosTest : public ::testing::Test {
protected:
    SeveralPhotosTest() {
        test::SandboxDesktopHome(dir_);
        fs::create_directories(src_);
        fs::create_directories(dst_);
        for (const char* photo : {"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg"}) {
            test::WriteJpeg(src_ / photo, test::PhotoLike(4, 3, 3), false);
        }
        test::WriteFile(src_ / "b.xmp", "xmp of b");
        settings_.destinationFolders[0] = dst_.string();
        host_.hasFileListWindow = false;
        EXPECT_TRUE(doc_.OpenImageFile((src_ / "a.jpg").string()));
        doc_.AwaitListing();
    }

    void Choose(std::vector<int> rows) {
        doc_.SetChosenRows([rows] { return rows; });
    }
    std::size_t Photos(const FileOperation& operation) const {
        return std::count_if(operation.files.begin(), operation.files.end(),
                             [](const OperationFile& file) { return !file.companion; });
    }

    test::TempDir dir_;
    fs::path src_ = dir_ / "pics";
    fs::path dst_ = dir_ / "sorted";
    AppSettings settings_;
    test::RecordingHost host_;
    CPirelaDoc doc_{settings_, host_, host_, SystemCalls::Libc(), dir_ / "state"};
};

TEST_F(SeveralPhotosTest, AMoveOfThreeIsOneOperationAndOneUndo) {
    test::WriteFile(dst_ / "c.jpg", "old c");
    test::WriteFile(dst_ / "d.jpg", "old d");
    settings_.options.sendType = 0;
    settings_.options.ask = 1;
    Choose({1, 2, 3});
    // The confirmation, then replacing c.jpg, for all: d.jpg is not asked about.
    host_.answers = {MessageAnswer::Ok, MessageAnswer::Yes};
    host_.forAllAnswers = {true};
    ASSERT_TRUE(doc_.SendImageToFolder(0, {}));
    ASSERT_EQ(host_.messages.size(), 2u);
    EXPECT_NE(host_.messages[0].find("選んだ 3 個のファイルを"), std::string::npos);
    for (const char* name : {"b.jpg", "b.xmp", "c.jpg", "d.jpg"}) {
        EXPECT_TRUE(fs::exists(dst_ / name)) << name;
        EXPECT_FALSE(fs::exists(src_ / name)) << name;
    }
    EXPECT_NE(test::ReadFile(dst_ / "d.jpg"), "old d");
    EXPECT_EQ(doc_.FileList().Names(), (std::vector<std::string>{"a.jpg", "e.jpg"}));
    EXPECT_EQ(doc_.FileList().CurrentName(), "e.jpg");
    ASSERT_TRUE(doc_.LatestOperation());
    EXPECT_EQ(Photos(*doc_.LatestOperation()), 3u);

    host_.messages.clear();
    host_.answers = {MessageAnswer::Yes};
    doc_.UndoLastSend();
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_NE(host_.messages[0].find("b.jpg ほか 2 個のファイル"), std::string::npos);
    for (const char* name : {"b.jpg", "b.xmp", "c.jpg", "d.jpg"}) {
        EXPECT_TRUE(fs::exists(src_ / name)) << name;
    }
    EXPECT_EQ(test::ReadFile(dst_ / "c.jpg"), "old c"); // back from the trash
    EXPECT_EQ(test::ReadFile(dst_ / "d.jpg"), "old d");
    EXPECT_EQ(doc_.FileList().Count(), 5);
}

TEST_F(SeveralPhotosTest, ATrashOfTwoAndACopyOfTwoAreTakenBackWhole) {
    Choose({0, 2});
    host_.answers = {MessageAnswer::Yes};
    doc_.DeleteToRecycleBin();
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_NE(host_.messages[0].find("2 個のファイルをごみ箱に"), std::string::npos);
    EXPECT_FALSE(fs::exists(src_ / "a.jpg") || fs::exists(src_ / "c.jpg"));
    EXPECT_EQ(doc_.FileList().Count(), 3);
    host_.answers = {MessageAnswer::Yes};
    doc_.UndoLastSend();
    EXPECT_TRUE(fs::exists(src_ / "a.jpg") && fs::exists(src_ / "c.jpg"));
    EXPECT_EQ(doc_.FileList().Count(), 5);

    // A name taken answered "いいえ": that photo alone is asked for a new name.
    test::WriteFile(dst_ / "e.jpg", "old e");
    settings_.options.sendType = 1;
    settings_.options.ask = 0;
    Choose({3, 4});
    host_.answers = {MessageAnswer::No};
    host_.nameAnswers = {std::string("e2")};
    ASSERT_TRUE(doc_.SendImageToFolder(0, {}));
    EXPECT_TRUE(fs::exists(dst_ / "d.jpg") && fs::exists(dst_ / "e2.jpg"));
    EXPECT_EQ(test::ReadFile(dst_ / "e.jpg"), "old e");
    EXPECT_EQ(doc_.CopiedTo((src_ / "e.jpg").string()), std::vector<std::string>{"sorted"});
    host_.answers = {MessageAnswer::Yes};
    doc_.UndoLastSend();
    EXPECT_FALSE(fs::exists(dst_ / "d.jpg") || fs::exists(dst_ / "e2.jpg"));
    EXPECT_TRUE(doc_.CopiedTo((src_ / "e.jpg").string()).empty());
}

} // namespace
} // namespace pirela
