// Sending the current image through the document, on real folders, with the file system's calls
// failing on demand.

#include "app/CPirelaDoc.h"
#include "journal/OperationLog.h"
#include "res/JournalMessages.h"
#include "send/SendEngine.h"
#include "support/FaultySystemCalls.h"
#include "support/ImageFixtures.h"
#include "support/RecordingHost.h"
#include "support/TempDir.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <unistd.h>

namespace pirela {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSameFolder = "送りもとと送り先のフォルダが同じです。";

class SendImageTest : public ::testing::Test {
protected:
    SendImageTest() {
        fs::create_directory(src_);
        fs::create_directory(dst_);
        for (const char* name : {"a.png", "b.png", "c.png"}) {
            test::WritePng(src_ / name, test::PngFromSamples(test::PhotoLike(4, 3, 3)));
        }
        settings_.options.ask = 0;
        settings_.options.sendType = 0; // move
        settings_.destinationFolders[0] = dst_.string();
        test::SandboxDesktopHome(dir_);
    }

    void Open(const char* name) {
        ASSERT_TRUE(doc_.OpenImageFile((src_ / name).string()));
        doc_.AwaitListing();
        doc_.SyncFileListWindow(std::string_view(name)); // as the view does after opening
        host_.Clear();
    }

    std::string Shown() const { return std::string(doc_.FileList().CurrentName()); }

    test::TempDir dir_;
    fs::path src_ = dir_ / "pics";
    fs::path dst_ = dir_ / "Pics";
    AppSettings settings_;
    test::RecordingHost host_;
    test::FaultySystemCalls faults_;
    CPirelaDoc doc_{settings_, host_, host_, faults_.Calls(), dir_ / "state"};
};

TEST_F(SendImageTest, AMoveShowsTheNextImageThenRefreshes) {
    Open("a.png");
    const std::string bytes = test::ReadFile(src_ / "a.png");
    ASSERT_TRUE(doc_.SendImageToFolder(0, {}));

    EXPECT_FALSE(fs::exists(src_ / "a.png"));
    EXPECT_EQ(test::ReadFile(dst_ / "a.png"), bytes);
    EXPECT_EQ(doc_.FileList().Names(), (std::vector<std::string>{"b.png", "c.png"}));
    EXPECT_EQ(Shown(), "b.png");
    EXPECT_EQ(doc_.Image().Info().fileName, "b.png");
    EXPECT_EQ(host_.statusMessages.front(), "ファイルを移動しています...");
    const auto& calls = host_.calls;
    const auto at = [&calls](const char* call) {
        return std::find(calls.begin(), calls.end(), call) - calls.begin();
    };
    EXPECT_LT(at("status message"), at("delete row 0"));
    EXPECT_LT(at("delete row 0"), at("select 0")); // the next image loaded and selected
    EXPECT_LT(at("select 0"), at("restore status message"));
    const std::vector<std::string> last(calls.end() - 5, calls.end());
    EXPECT_EQ(last, (std::vector<std::string>{"end wait", "scroll", "status", "title", "outcome"}));
    EXPECT_EQ(host_.outcomes, std::vector<std::string>{"a.png を Pics に移動しました。"});

    const std::optional<FileOperation>& record = doc_.LatestOperation();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->files.at(0).from, (src_ / "a.png").string());
    EXPECT_EQ(record->files.at(0).to, (dst_ / "a.png").string());
    EXPECT_EQ(record->kind, "move");
    // The record outlives the folder it came from.
    doc_.OpenImageFolder(dst_.string());
    EXPECT_TRUE(doc_.LatestOperation());
}

TEST_F(SendImageTest, MovingTheLastShowsThePreviousAndTheOnlyLeavesAnEmptyView) {
    Open("c.png");
    ASSERT_TRUE(doc_.SendImageToFolder(0, {}));
    EXPECT_EQ(Shown(), "b.png");
    // The one shown now was seen before: the user is told the last went.
    EXPECT_EQ(host_.outcomes.back(), "最後のイメージを送りました。c.png を Pics に移動しました。");
    ASSERT_TRUE(doc_.SendImageToFolder(0, {}));
    ASSERT_TRUE(doc_.SendImageToFolder(0, {}));
    EXPECT_EQ(host_.outcomes.back(), "a.png を Pics に移動しました。"); // none left to see
    EXPECT_EQ(doc_.FileList().Count(), 0);
    EXPECT_FALSE(doc_.Image().HasBitmap());
    const auto emptied = std::find(host_.calls.rbegin(), host_.calls.rend(), "fixed scroll 50x50");
    ASSERT_NE(emptied, host_.calls.rend());
    EXPECT_EQ(std::find(host_.calls.rbegin(), emptied, "scroll"), emptied); // none after it
    EXPECT_EQ(doc_.FileList().Folder(), src_.string());
}

TEST_F(SendImageTest, ACopyLeavesTheListAndTheImage) {
    settings_.options.sendType = 1;
    Open("b.png");
    ASSERT_TRUE(doc_.SendImageToFolder(0, {}));
    EXPECT_TRUE(fs::exists(src_ / "b.png"));
    EXPECT_EQ(test::ReadFile(dst_ / "b.png"), test::ReadFile(src_ / "b.png"));
    EXPECT_EQ(doc_.FileList().Count(), 3);
    EXPECT_EQ(Shown(), "b.png");
    EXPECT_EQ(host_.statusMessages.front(), "ファイルをコピーしています...");
    EXPECT_EQ(doc_.LatestOperation()->kind, "copy");
    EXPECT_EQ(host_.outcomes, std::vector<std::string>{"b.png を Pics にコピーしました。"});
    // While it shows, the title says where it went; the next image has been nowhere.
    EXPECT_EQ(ComputeTitle(doc_.Facts()), "Pirela - b.png → Pics [ " + src_.string() + " ] ");
    doc_.ShowListedImage(doc_.NextImage());
    EXPECT_EQ(doc_.Facts().copiedTo, "");
}

TEST_F(SendImageTest, TheConfirmationNamesSourceAndFolder) {
    settings_.options.ask = 1;
    settings_.options.sendType = 1;
    Open("a.png");
    const std::string source = (src_ / "a.png").string();
    for (const auto& [folder, shown] :
         {std::pair<std::string, std::string>{"/", "/"}, {dst_.string() + "/", dst_.string()}}) {
        host_.Clear();
        host_.answers = {MessageAnswer::Cancel};
        EXPECT_FALSE(doc_.SendImageToFolder(0, folder));
        ASSERT_EQ(host_.messages.size(), 1u);
        EXPECT_EQ(host_.captions[0], "ファイルのコピー");
        EXPECT_EQ(host_.messages[0], source + " を\n" + shown + " にコピーします。");
        EXPECT_EQ(host_.buttons[0], MessageButtons::OkCancel);
    }
    EXPECT_FALSE(fs::exists(dst_ / "a.png"));
}

TEST_F(SendImageTest, TheOpenFolderUnderAnyOtherNameIsRefused) {
    fs::create_directory_symlink(src_, dir_ / "link");
    test::WriteFile(dst_ / "a.png", "old"); // "Pics" is another folder than "pics"
    Open("a.png");
    const std::string bytes = test::ReadFile(src_ / "a.png");
    for (const std::string& folder :
         {src_.string() + "/", src_.string() + "/.", (dir_ / "link").string()}) {
        host_.Clear();
        host_.answers = {MessageAnswer::Yes};
        EXPECT_FALSE(doc_.SendImageToFolder(0, folder)) << folder;
        EXPECT_EQ(host_.messages, std::vector<std::string>{kSameFolder}) << folder;
        EXPECT_EQ(test::ReadFile(src_ / "a.png"), bytes);
    }
    host_.Clear();
    host_.answers = {MessageAnswer::Yes};
    EXPECT_TRUE(doc_.SendImageToFolder(0, {}));
    EXPECT_EQ(test::ReadFile(dst_ / "a.png"), bytes);
}

// Whichever call fails, the source stays, the old destination stays whole (or, once the new
// file is in place, is the new one), no temporary file is left, the user hears of it and the
// last record stands.
// Takes out of the trash the files this test put there from the folder; /dev/shm's trash is
// shared with other tests.
void EmptyTrashOf(const fs::path& folder) {
    const fs::path home = fs::path(std::getenv("XDG_DATA_HOME")) / "Trash";
    const fs::path disk = fs::path("/dev/shm") / (".Trash-" + std::to_string(::getuid()));
    for (const fs::path& trash : {home, disk}) {
        std::error_code error;
        std::vector<fs::path> records;
        for (const auto& entry : fs::directory_iterator(trash / "info", error)) {
            if (test::ReadFile(entry.path()).find(folder.filename().string() + "/") !=
                std::string::npos) {
                records.push_back(entry.path());
            }
        }
        for (const fs::path& record : records) {
            fs::remove(trash / "files" / record.stem(), error);
            fs::remove(record, error);
        }
    }
}

TEST_F(SendImageTest, AFailingReplacementLosesNothing) {
    test::TempDir other(fs::path("/dev/shm")); // another file system: the move copies
    const std::string bytes = test::ReadFile(src_ / "a.png");
    for (const int copy : {1, 0}) {
        for (const fs::path& folder : {dst_, other.Path()}) {
            settings_.options.sendType = copy;
            for (faults_.failAt = 1;; ++faults_.failAt) {
                test::WriteBytes(src_ / "a.png", bytes);
                test::WriteFile(folder / "a.png", "old");
                // Each old file replaced goes to the trash; a trash full of its names would make
                // every put try more names, and so every round longer than the last.
                EmptyTrashOf(folder);
                Open("a.png");
                const std::optional<FileOperation> before = doc_.LatestOperation();
                faults_.count = 0;
                host_.answers = {MessageAnswer::Yes};
                const bool sent = doc_.SendImageToFolder(0, folder.string());
                if (faults_.count < faults_.failAt) {
                    ASSERT_TRUE(sent);
                    break;
                }
                if (sent) {
                    continue; // a failure that costs nothing (the free-space query)
                }
                const auto at = "copy " + std::to_string(copy) + " to " + folder.string() +
                                ", call " + std::to_string(faults_.failAt) + " fails";
                EXPECT_EQ(test::ReadFile(src_ / "a.png"), bytes) << at;
                const std::string left = test::ReadFile(folder / "a.png");
                EXPECT_TRUE(left == "old" || left == bytes) << at;
                EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()),
                          1)
                    << at;
                EXPECT_EQ(host_.messages.size(), 2u) << at; // the question and the failure
                EXPECT_EQ(doc_.LatestOperation().has_value(), before.has_value()) << at;
                EXPECT_TRUE(!before || doc_.LatestOperation()->id == before->id) << at;
            }
            faults_.failAt = 0;
            EXPECT_EQ(test::ReadFile(folder / "a.png"), bytes);
        }
    }
}

// The record of where the replaced file went cannot be written, and that file cannot come back
// from the trash: the new file does not take its place either, so that the message's "nothing
// was done" holds, and the message says where the old file waits.
TEST_F(SendImageTest, ASendThatCannotRecordTheReplacedFileLeavesItsPlaceAndSaysWhereTheOldIs) {
    test::WriteFile(dst_ / "a.png", "old");
    SystemCalls journalCalls = SystemCalls::Libc();
    journalCalls.write = [](int fd, const void* bytes, std::size_t size) -> ssize_t {
        if (std::string_view(static_cast<const char*>(bytes), size).find(" kept ") !=
            std::string_view::npos) {
            errno = ENOSPC;
            return -1;
        }
        return ::write(fd, bytes, size);
    };
    SystemCalls sendCalls = SystemCalls::Libc();
    sendCalls.renameNoReplace = [](const char* from, const char* to) {
        if (std::string_view(from).find("/Trash/files/") != std::string_view::npos) {
            errno = EIO;
            return -1;
        }
        return SystemCalls::Libc().renameNoReplace(from, to);
    };
    OperationLog log(dir_ / "state", journalCalls);
    SendPlan plan{(src_ / "a.png").string(),
                  SendTarget{(dst_ / "a.png").string(), Overwrite::Confirmed}, true};
    EXPECT_FALSE(SendEngine(host_, host_, log, sendCalls).Transfer(plan, [] {}));
    EXPECT_FALSE(fs::exists(dst_ / "a.png"));
    const std::string trashed = (dir_ / "data" / "Trash" / "files" / "a.png").string();
    EXPECT_EQ(test::ReadFile(trashed), "old");
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_NE(host_.messages[0].find(res::ReplacedLeftInTrashLine((dst_ / "a.png").string(), trashed)),
              std::string::npos)
        << host_.messages[0];
}

TEST_F(SendImageTest, AProtectedOrLateDestinationIsNeverReplaced) {
    settings_.options.sendType = 1;
    Open("a.png");
    const std::string failed = (src_ / "a.png").string() + " を " + (dst_ / "a.png").string() +
                               " にコピーできませんでした。パスが正しいか、または上書き禁止では"
                               "ないか確認してください。";
    // A file that appears after the look and before the copy lands.
    faults_.beforeNoReplaceRename = [this] { test::WriteFile(dst_ / "a.png", "late"); };
    EXPECT_FALSE(doc_.SendImageToFolder(0, {}));
    EXPECT_EQ(test::ReadFile(dst_ / "a.png"), "late");
    EXPECT_EQ(host_.messages, std::vector<std::string>{failed});
    faults_.beforeNoReplaceRename = nullptr;

    // Write-protected (root included), and a folder of that name: even Yes replaces neither.
    fs::permissions(dst_ / "a.png", fs::perms::owner_read);
    fs::create_directory(dst_ / "b.png");
    for (const char* name : {"a.png", "b.png"}) {
        Open(name);
        host_.answers = {MessageAnswer::Yes};
        EXPECT_FALSE(doc_.SendImageToFolder(0, {})) << name;
        EXPECT_EQ(host_.messages.size(), 2u) << name;
    }
    EXPECT_EQ(test::ReadFile(dst_ / "a.png"), "late");
    EXPECT_TRUE(fs::is_directory(dst_ / "b.png"));
    EXPECT_FALSE(doc_.LatestOperation());
}

TEST_F(SendImageTest, AMoveAcrossFileSystemsWhoseSourceCannotGoLeavesOneFile) {
    test::TempDir other(fs::path("/dev/shm"));
    SystemCalls calls = SystemCalls::Libc();
    const std::string source = (src_ / "a.png").string();
    calls.unlink = [&source](const char* path) {
        if (path == source) {
            errno = EROFS;
            return -1;
        }
        return ::unlink(path);
    };
    CPirelaDoc doc(settings_, host_, host_, calls, dir_ / "state");
    ASSERT_TRUE(doc.OpenImageFile((src_ / "a.png").string()));
    doc.AwaitListing();
    host_.Clear();
    EXPECT_FALSE(doc.SendImageToFolder(0, other.Path().string()));
    EXPECT_TRUE(fs::exists(src_ / "a.png"));
    EXPECT_TRUE(fs::is_empty(other.Path()));
    EXPECT_EQ(host_.messages,
              std::vector<std::string>{
                  (src_ / "a.png").string() + " を " + (other.Path() / "a.png").string() +
                  " に移動できませんでした。パスが無効であるか、送り側のファイルが"
                  "読み取り専用である可能性があります。"});
    EXPECT_EQ(doc.FileList().Count(), 3);
}

TEST_F(SendImageTest, TheFileMustFitWithRoomToSpare) {
    host_.hasFileListWindow = false;
    Open("a.png");
    const auto size = static_cast<fsblkcnt_t>(fs::file_size(src_ / "a.png"));
    // A file system that reports no blocks at all (some FUSE and network ones) does not know
    // its free space: the copy's own error would speak.
    const struct {
        std::optional<fsblkcnt_t> available;
        fsblkcnt_t blocks;
        bool sent;
    } cases[] = {{size, 1000000, false},
                 {size + 1, 1000000, true},
                 {std::nullopt, 1000000, true},
                 {0, 0, true}};
    for (const auto& c : cases) {
        SystemCalls calls = SystemCalls::Libc();
        calls.statvfs = [&c](const char*, struct statvfs* facts) {
            facts->f_bavail = c.available.value_or(0);
            facts->f_blocks = c.blocks;
            facts->f_frsize = 1;
            return c.available ? 0 : -1;
        };
        fs::copy_file(src_ / "b.png", src_ / "a.png", fs::copy_options::overwrite_existing);
        CPirelaDoc doc(settings_, host_, host_, calls, dir_ / "state");
        ASSERT_TRUE(doc.OpenImageFile((src_ / "a.png").string()));
        doc.AwaitListing();
        host_.Clear();
        EXPECT_EQ(doc.SendImageToFolder(0, {}), c.sent) << c.available.value_or(0);
        EXPECT_EQ(fs::exists(dst_ / "a.png"), c.sent);
        if (!c.sent) {
            EXPECT_EQ(host_.messages, std::vector<std::string>{
                                          "ファイルを移動できません。ファイルの受け側のディスク"
                                          "の空き容量が足りません。ファイルのサイズとディスクの"
                                          "空き容量を確認してください。"});
            EXPECT_EQ(host_.icons, std::vector<MessageIcon>{MessageIcon::Warning});
        }
        fs::remove(dst_ / "a.png");
    }
}

TEST_F(SendImageTest, AGoneSourceOrABadDestinationIsReported) {
    test::WriteFile(dir_ / "file", "not a folder");
    Open("a.png");
    // The message blames the destination, and the progress text is gone before it shows.
    for (const fs::path& folder : {dir_ / "gone", dir_ / "file"}) {
        host_.Clear();
        EXPECT_FALSE(doc_.SendImageToFolder(0, folder.string())) << folder;
        ASSERT_EQ(host_.messages.size(), 1u) << folder;
        EXPECT_EQ(host_.messages[0], (src_ / "a.png").string() + " を " +
                                         (folder / "a.png").string() +
                                         " に移動できませんでした。送り先のフォルダ " +
                                         folder.string() + " が見つかりません。");
        const auto& calls = host_.calls;
        EXPECT_LT(std::find(calls.begin(), calls.end(), "restore status message"),
                  std::find(calls.begin(), calls.end(), "message"));
        EXPECT_TRUE(fs::exists(src_ / "a.png"));
    }
    EXPECT_EQ(test::ReadFile(dir_ / "file"), "not a folder");
    // A new name longer than the file system allows: the disk refuses it, and another is asked.
    settings_.options.changeFileName = 1;
    host_.Clear();
    host_.nameAnswers = {std::string(300, 'x')};
    EXPECT_FALSE(doc_.SendImageToFolder(0, {}));
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_NE(host_.messages[0].find("送り先のディスクではこのファイル名は使えません。"),
              std::string::npos);
    EXPECT_EQ(std::count(host_.calls.begin(), host_.calls.end(), "ask name a .png"), 2);
    settings_.options.changeFileName = 0;
    fs::remove(src_ / "a.png");
    host_.Clear();
    EXPECT_FALSE(doc_.SendImageToFolder(0, {}));
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_NE(host_.messages[0].find("に移動できませんでした。"), std::string::npos);
    EXPECT_TRUE(fs::is_empty(dst_));
}

TEST_F(SendImageTest, AnUnsetDestinationIsChosenAndKept) {
    settings_.destinationFolders[0].clear();
    settings_.lastOpenOtherFolder = "/start";
    Open("a.png");
    doc_.SendToFolder(0); // cancelled: nothing changes
    EXPECT_TRUE(settings_.destinationFolders[0].empty());
    EXPECT_TRUE(fs::exists(src_ / "a.png"));
    // A folder whose name the settings file could not keep is refused when chosen.
    fs::create_directory(dir_ / "a\nb");
    host_.folderAnswers = {(dir_ / "a\nb").string()};
    doc_.SendToFolder(0);
    EXPECT_TRUE(settings_.destinationFolders[0].empty());
    EXPECT_EQ(host_.messages.back(),
              "フォルダ " + (dir_ / "a\nb").string() +
                  " の名前には改行が含まれているため、送り先に指定できません。");
    EXPECT_TRUE(fs::exists(src_ / "a.png"));
    host_.Clear();

    host_.folderAnswers = {dst_.string()};
    doc_.SendToFolder(0);
    EXPECT_EQ(host_.calls.front(), "ask folder /start ファイルを送るフォルダを選択してください。");
    EXPECT_EQ(settings_.destinationFolders[0], dst_.string());
    EXPECT_EQ(settings_.lastOpenOtherFolder, dst_.string());
    EXPECT_NE(std::find(host_.calls.begin(), host_.calls.end(), "send bar"), host_.calls.end());
    EXPECT_TRUE(fs::exists(dst_ / "a.png"));

    // Another folder is remembered even when the send is refused.
    host_.folderAnswers = {src_.string()};
    doc_.SendToOtherFolder();
    EXPECT_EQ(settings_.lastOpenOtherFolder, src_.string());
    EXPECT_EQ(host_.messages.back(), kSameFolder);
}

TEST_F(SendImageTest, NamesTravelByTheirBytes) {
    const std::string sjis = "\x95\x5c.png"; // Shift-JIS 表, its second byte a backslash
    fs::rename(src_ / "b.png", src_ / sjis);
    fs::rename(src_ / "c.png", src_ / "表.png");
    const std::string bytes = test::ReadFile(src_ / sjis);
    settings_.options.changeFileName = 1;
    Open(sjis.c_str());
    host_.nameAnswers = {"\x95\x5c"}; // the current name, left as it was
    ASSERT_TRUE(doc_.SendImageToFolder(0, {}));
    EXPECT_EQ(test::ReadFile(dst_ / sjis), bytes);
    settings_.options.changeFileName = 0;
    EXPECT_EQ(Shown(), "表.png");
    ASSERT_TRUE(doc_.SendImageToFolder(0, {}));
    EXPECT_TRUE(fs::exists(dst_ / "表.png"));

    ASSERT_TRUE(doc_.OpenImageFile((dst_ / sjis).string()));
    doc_.AwaitListing();
    doc_.SyncFileListWindow(sjis);
    ASSERT_TRUE(doc_.SendImageToFolder(0, src_.string()));
    EXPECT_EQ(test::ReadFile(src_ / sjis), bytes);
}

} // namespace
} // namespace pirela
