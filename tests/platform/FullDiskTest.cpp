// Copies, moves and the settings file onto a file system that fills up on the way (a 64 KiB
// tmpfs mounted for this program alone) or that is read-only. CTest runs it inside a new user and
// mount namespace (unshare -Urm), where mounting needs no privilege on the host; elsewhere the
// tests skip.
#include "platform/FileTransfer.h"
#include "settings/SettingsStore.h"
#include "support/SmallDisk.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace pirela {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::SmallDisk;
using test::TempDir;
using test::WriteFile;

TEST(FullDiskTest, AFullDiskLeavesSourceAndOldDestinationWhole) {
    const std::string big(200 * 1024, 'b');
    const std::string old(10 * 1024, 'o');
    for (const bool move : {false, true}) {
        for (const bool withOld : {false, true}) {
            SCOPED_TRACE(testing::Message() << (move ? "move" : "copy") << ", old file " << withOld);
            TempDir from;
            TempDir to;
            const SmallDisk disk(to.Path());
            if (!disk.Mounted()) {
                GTEST_SKIP() << "needs its own user and mount namespace: unshare -Urm";
            }
            WriteFile(from / "a.jpg", big);
            if (withOld) {
                WriteFile(to / "a.jpg", old);
            }
            const FileTransfer transfer;
            const Overwrite overwrite = withOld ? Overwrite::Confirmed : Overwrite::Refuse;
            const auto result = move ? transfer.Move(from / "a.jpg", to / "a.jpg", overwrite)
                                     : transfer.Copy(from / "a.jpg", to / "a.jpg", overwrite);
            EXPECT_EQ(result.status, TransferStatus::NoSpace);
            EXPECT_EQ(ReadFile(from / "a.jpg"), big);
            EXPECT_EQ(fs::exists(to / "a.jpg"), withOld);
            if (withOld) {
                EXPECT_EQ(ReadFile(to / "a.jpg"), old);
            }
            EXPECT_EQ(std::distance(fs::directory_iterator(to.Path()), {}), withOld ? 1 : 0);
        }
    }
}

// What is written where the settings file lives and the disk is full is told, and the old file
// stays whole.
TEST(FullDiskTest, ASettingsFileThatCannotBeWrittenSaysSo) {
    TempDir dir;
    const SmallDisk disk(dir.Path());
    if (!disk.Mounted()) {
        GTEST_SKIP() << "needs its own user and mount namespace: unshare -Urm";
    }
    SettingsStore store(dir / "pirela.ini");
    AppSettings settings = store.Load({});
    ASSERT_EQ(store.Save(settings), SaveOutcome::Saved);
    const std::string saved = ReadFile(dir / "pirela.ini");
    WriteFile(dir / "filler", std::string(200 * 1024, 'f')); // fills the disk
    settings.lastOpen = std::string(8 * 1024, 'x');
    EXPECT_EQ(store.Save(settings), SaveOutcome::Failed);
    EXPECT_EQ(ReadFile(dir / "pirela.ini"), saved);
}

TEST(FullDiskTest, AReadOnlyDestinationIsToldAsSuch) {
    TempDir from;
    TempDir to;
    const SmallDisk disk(to.Path(), true);
    if (!disk.Mounted()) {
        GTEST_SKIP() << "needs its own user and mount namespace: unshare -Urm";
    }
    WriteFile(from / "a.jpg", "photo");
    const FileTransfer transfer;
    EXPECT_EQ(transfer.Copy(from / "a.jpg", to / "a.jpg", Overwrite::Refuse).status,
              TransferStatus::DestinationReadOnly);
    EXPECT_EQ(transfer.Move(from / "a.jpg", to / "a.jpg", Overwrite::Refuse).status,
              TransferStatus::DestinationReadOnly);
    EXPECT_EQ(ReadFile(from / "a.jpg"), "photo");
}

} // namespace
} // namespace pirela
