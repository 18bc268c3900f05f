// Copies and moves onto a file system that fills up on the way: a 64 KiB tmpfs mounted for this
// program alone. CTest runs it inside a new user and mount namespace (unshare -Urm), where
// mounting needs no privilege on the host; elsewhere the tests skip.
#include "platform/FileTransfer.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/mount.h>

namespace pirela {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

// The first user namespace maps every id onto itself. Only inside another one is a mount
// private to this program, so that nothing on the host is touched.
bool InOwnUserNamespace() {
    std::ifstream map("/proc/self/uid_map");
    long inside = -1;
    long outside = -1;
    long count = -1;
    map >> inside >> outside >> count;
    return !(inside == 0 && outside == 0 && count == 4294967295L);
}

// A small tmpfs over a folder, taken away again before the folder is removed.
class SmallDisk {
public:
    explicit SmallDisk(const fs::path& folder) : folder_(folder) {
        mounted_ = InOwnUserNamespace() && ::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=64k") == 0;
    }
    ~SmallDisk() {
        if (mounted_) {
            ::umount(folder_.c_str());
        }
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool Mounted() const { return mounted_; }

private:
    fs::path folder_;
    bool mounted_ = false;
};

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

} // namespace
} // namespace pirela
