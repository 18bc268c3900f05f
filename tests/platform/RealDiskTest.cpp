// The file operations on real foreign disks: an exFAT image through exfat-fuse and a FAT image
// through fusefat, each on a loop device, mounted by real-disks.sh, which passes their folders
// in PIRELA_EXFAT_DIR and PIRELA_FAT_DIR.
#include "app/CPirelaDoc.h"
#include "rename/BatchRenamer.h"
#include "support/RecordingHost.h"
#include "support/TempDir.h"
#include "trash/Trash.h"

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

} // namespace
} // namespace pirela
