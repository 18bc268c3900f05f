// The file operations on real foreign disks: an exFAT image through exfat-fuse and a FAT image
// through fusefat, each on a loop device, mounted by real-disks.sh, which passes their folders
// in PIRELA_EXFAT_DIR and PIRELA_FAT_DIR. The replug tests run in two steps around the card's
// unplugging, each on its own (PIRELA_REPLUG_STATE names the folder they share).
#include "app/CPirelaDoc.h"
#include "app/Recovery.h"
#include "journal/OperationLog.h"
#include "rename/BatchRename.h"
#include "rename/BatchRenamer.h"
#include "support/ChildProcess.h"
#include "support/RecordingHost.h"
#include "support/TempDir.h"
#include "trash/Trash.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace pirela {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::WriteFile;

struct Disk {
    const char* name;
    fs::path folder;
};

std::vector<Disk> MountedDisks() {
    std::vector<Disk> disks;
    for (const auto& [name, variable] :
         {std::pair{"exFAT", "PIRELA_EXFAT_DIR"}, std::pair{"FAT", "PIRELA_FAT_DIR"}}) {
        if (const char* folder = std::getenv(variable)) {
            disks.push_back({name, folder});
        }
    }
    return disks;
}

// A folder of the test on the foreign disk, emptied again afterwards.
struct StickFolder : test::TempDir {
    explicit StickFolder(const Disk& disk) : test::TempDir(disk.folder) {}
};

std::vector<std::string> NamesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class RealDiskTest : public ::testing::Test {
protected:
    void SetUp() override {
        disks_ = MountedDisks();
        if (disks_.empty()) {
            GTEST_SKIP() << "runs on the disks real-disks.sh mounts";
        }
        settings_.options.ask = 0;
        host_.hasFileListWindow = false;
    }

    // Sends home/name to the folder: 1 copies, 0 moves.
    bool Send(const fs::path& file, const fs::path& folder, int sendType) {
        settings_.options.sendType = sendType;
        EXPECT_TRUE(doc_.OpenImageFile(file.string()));
        doc_.AwaitListing();
        return doc_.SendImageToFolder(0, folder.string());
    }

    std::vector<Disk> disks_;
    test::TempDir home_;
    AppSettings settings_;
    test::RecordingHost host_;
    // A journal of its own: its undo must take back its own send, whatever other tests do.
    CPirelaDoc doc_{settings_, host_, host_, SystemCalls::Libc(), home_ / "state"};
};

TEST_F(RealDiskTest, APhotoGoesThereAndBackWithItsModeAndAnyNameTheDiskRefusesIsAskedAgain) {
    for (const Disk& disk : disks_) {
        SCOPED_TRACE(disk.name);
        const StickFolder stick(disk);
        WriteFile(home_ / "a.png", "photo a");
        ::chmod((home_ / "a.png").c_str(), 0640);
        ASSERT_TRUE(Send(home_ / "a.png", stick.Path(), 1));
        ASSERT_TRUE(Send(home_ / "a.png", stick.Path(), 0) == false); // there already: asked
        host_.Clear();
        fs::remove(stick / "a.png");
        ASSERT_TRUE(Send(home_ / "a.png", stick.Path(), 0));
        EXPECT_EQ(ReadFile(stick / "a.png"), "photo a");
        host_.answers = {MessageAnswer::Yes};
        doc_.UndoLastSend();
        EXPECT_EQ(ReadFile(home_ / "a.png"), "photo a");
        struct stat status {};
        ASSERT_EQ(::stat((home_ / "a.png").c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 0777, 0640u);

        // "a:b.png" is a fine name here and none there: the disk's refusal is told, and the
        // name given then is used.
        WriteFile(home_ / "a:b.png", "photo b");
        host_.Clear();
        host_.nameAnswers = {"ab"};
        ASSERT_TRUE(Send(home_ / "a:b.png", stick.Path(), 0));
        EXPECT_EQ(ReadFile(stick / "ab.png"), "photo b");
        ASSERT_EQ(host_.messages.size(), 1u);
        EXPECT_NE(host_.messages[0].find("このファイル名は使えません"), std::string::npos);
        EXPECT_EQ(NamesIn(stick.Path()), (std::vector<std::string>{"ab.png"}));
    }
}

TEST_F(RealDiskTest, ANameInAnotherCaseIsTheSameFileThere) {
    for (const Disk& disk : disks_) {
        SCOPED_TRACE(disk.name);
        const StickFolder stick(disk);
        WriteFile(stick / "ZZ.png", "old");
        WriteFile(home_ / "zz.png", "new");
        host_.Clear();
        host_.answers = {MessageAnswer::Cancel};
        EXPECT_FALSE(Send(home_ / "zz.png", stick.Path(), 1));
        EXPECT_EQ(host_.buttons,
                  std::vector<MessageButtons>{MessageButtons::YesNoCancelDefaultCancel});
        EXPECT_EQ(FileTransfer().Copy(home_ / "zz.png", stick / "zz.png", Overwrite::Refuse).status,
                  TransferStatus::Exists);
        EXPECT_EQ(NamesIn(stick.Path()), std::vector<std::string>{"ZZ.png"});
        EXPECT_EQ(ReadFile(stick / "ZZ.png"), "old");

        // Renumbering in place, changing only the case, renames every file.
        std::vector<std::string> names;
        for (int i = 1; i <= 4; ++i) {
            names.push_back("IMAGE_0" + std::to_string(i) + ".JPG");
            WriteFile(stick / names.back(), names.back());
        }
        fs::remove(stick / "ZZ.png");
        const BatchRenameCounts counts =
            BatchRenamer().Rename(stick.Path().string(), names, "image_", 2, 1);
        EXPECT_EQ(counts.succeeded, 4);
        EXPECT_EQ(NamesIn(stick.Path()),
                  (std::vector<std::string>{"image_01.jpg", "image_02.jpg", "image_03.jpg",
                                            "image_04.jpg"}));
        EXPECT_EQ(ReadFile(stick / "image_03.jpg"), "IMAGE_03.JPG");
    }
}

TEST_F(RealDiskTest, TheStickHasItsOwnTrashAndFreeSpace) {
    for (const Disk& disk : disks_) {
        SCOPED_TRACE(disk.name);
        const StickFolder stick(disk);
        WriteFile(stick / "a b.png", "photo");
        const Trash trash(SystemCalls::Libc(), (home_ / "Trash").string());
        const TrashResult put = trash.Put((stick / "a b.png").string());
        ASSERT_TRUE(put.Succeeded());
        EXPECT_EQ(put.file.trashedPath, (disk.folder / ".Trash-0" / "files" / "a b.png").string());
        const std::string relative = stick.Path().filename().string() + "/a%20b.png";
        EXPECT_NE(ReadFile(put.file.infoPath).find("\nPath=" + relative + "\n"), std::string::npos);
        ASSERT_TRUE(trash.Restore(put.file).Succeeded());
        EXPECT_EQ(ReadFile(stick / "a b.png"), "photo");
        fs::remove_all(disk.folder / ".Trash-0");
        EXPECT_TRUE(FileTransfer().FreeSpace(stick.Path()).has_value());
    }
}

// fusefat stops making entries in a folder once it holds a hundred or so (its first cluster is
// full of long names) and answers ENOENT, yet shows the entry a moment later, sometimes under a
// name cut short: the files it could not park keep their names, and none of our names is left.
TEST_F(RealDiskTest, ABatchRenameThatTheDiskStopsLeavesEveryPhotoVisible) {
    for (const Disk& disk : disks_) {
        SCOPED_TRACE(disk.name);
        const StickFolder stick(disk);
        std::vector<std::string> names;
        for (int i = 0; i < 120; ++i) {
            names.push_back("DSC_" + std::to_string(1000 + i) + ".JPG");
            WriteFile(stick / names.back(), names.back());
        }
        const BatchRenameCounts counts =
            BatchRenamer().Rename(stick.Path().string(), names, "image_", 2, 1);
        const std::vector<std::string> left = NamesIn(stick.Path());
        EXPECT_EQ(left.size(), names.size());
        EXPECT_EQ(counts.succeeded + counts.failed, 120);
        for (const std::string& name : left) {
            EXPECT_FALSE(name.starts_with(".")) << name;
        }
    }
}

constexpr int kReplugPhotos = 300;

std::string PhotoBytes(int i) {
    return "photo " + std::to_string(i) + std::string(std::size_t(i % 7) * 100, 'x');
}

// The batch rename of a card's 300 photos, killed (as kill -9 would) at the 450th rename: all
// are parked and 150 have their new names. real-disks.sh then unplugs the card.
TEST(ReplugTest, ABatchRenameKilledInItsMiddle) {
    const char* card = std::getenv("PIRELA_EXFAT_DIR");
    const char* state = std::getenv("PIRELA_REPLUG_STATE");
    if (card == nullptr || state == nullptr) {
        GTEST_SKIP() << "runs in real-disks.sh, before the card is replugged";
    }
    const fs::path folder = fs::path(card) / "DCIM";
    fs::create_directories(folder);
    for (int i = 0; i < kReplugPhotos; ++i) {
        WriteFile(folder / ("DSC_" + std::to_string(1000 + i) + ".JPG"), PhotoBytes(i));
    }
    // exfat-fuse renames without replacing through a claim and a plain rename, a kernel's
    // exFAT with the flag: either way, one rename call a file.
    SystemCalls calls = SystemCalls::Libc();
    int renames = 0;
    const auto dieInTheMiddle = [&renames] {
        if (++renames == kReplugPhotos * 3 / 2) {
            ::_exit(9);
        }
    };
    calls.rename = [dieInTheMiddle](const char* from, const char* to) {
        dieInTheMiddle();
        return ::rename(from, to);
    };
    calls.renameNoReplace = [dieInTheMiddle](const char* from, const char* to) {
        dieInTheMiddle();
        return SystemCalls::Libc().renameNoReplace(from, to);
    };
    const int code = test::ExitCodeInChild([&] {
        test::RecordingHost host;
        host.answers = {MessageAnswer::Yes};
        OperationLog log(state, calls);
        BatchRenameSettings settings;
        settings.folder = folder.string();
        settings.prefix = "image_";
        settings.digits = "3";
        BatchRename(host, host, log, calls).Run(settings, kReplugPhotos, [](const auto&) {});
        return 0;
    });
    ASSERT_EQ(code, 9) << "the rename was to be killed in its middle";
}

// After the replug the card's numbers are new; the next start finds every photo by its name.
TEST(ReplugTest, EveryPhotoIsVisibleAfterTheReplug) {
    const char* card = std::getenv("PIRELA_EXFAT_DIR");
    const char* state = std::getenv("PIRELA_REPLUG_STATE");
    if (card == nullptr || state == nullptr || !fs::exists(fs::path(card) / "DCIM")) {
        GTEST_SKIP() << "runs in real-disks.sh, once the card is replugged";
    }
    const fs::path folder = fs::path(card) / "DCIM";
    ASSERT_GT(std::count_if(fs::directory_iterator(folder), fs::directory_iterator(),
                            [](const auto& entry) {
                                return entry.path().filename().string().starts_with(".pirela-");
                            }),
              0)
        << "the kill was to leave parked photos";
    OperationLog log(state);
    const std::vector<RecoveredOperation> recovered = Recovery(log).Run();
    ASSERT_EQ(recovered.size(), 1u);
    EXPECT_EQ(recovered[0].state, RecoveredState::Before); // all back under their old names
    EXPECT_TRUE(recovered[0].operation.leftInDoubt.empty());
    const std::vector<std::string> names = NamesIn(folder);
    ASSERT_EQ(names.size(), std::size_t(kReplugPhotos));
    for (int i = 0; i < kReplugPhotos; ++i) {
        const std::string name = "DSC_" + std::to_string(1000 + i) + ".JPG";
        EXPECT_EQ(ReadFile(folder / name), PhotoBytes(i)) << name;
    }
    EXPECT_TRUE(log.Journal().Scan().unfinished.empty());
}

} // namespace
} // namespace pirela
