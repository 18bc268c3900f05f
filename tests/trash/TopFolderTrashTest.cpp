// Files on a disk other than the home trash's go to that disk's own trash in its top folder: a
// tmpfs mounted for this program alone stands for a stick. CTest runs it inside a new user and
// mount namespace (unshare -Urm); elsewhere the tests skip.
#include "support/SmallDisk.h"
#include "support/TempDir.h"
#include "trash/Trash.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pirela {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::WriteFile;

TEST(TopFolderTrashTest, AStickGetsItsOwnTrashWithPathsRelativeToItsTop) {
    enum class Shared { None, Sticky, NotSticky, Link };
    const struct {
        Shared shared;
        const char* trash; // relative to the stick's top
    } cases[] = {{Shared::None, ".Trash-0"},
                 {Shared::Sticky, ".Trash/0"},
                 {Shared::NotSticky, ".Trash-0"},
                 {Shared::Link, ".Trash-0"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.trash);
        test::TempDir home;
        test::TempDir stick;
        const test::SmallDisk disk(stick.Path());
        if (!disk.Mounted()) {
            GTEST_SKIP() << "needs its own user and mount namespace: unshare -Urm";
        }
        ASSERT_EQ(::getuid(), 0u);
        if (c.shared == Shared::Sticky || c.shared == Shared::NotSticky) {
            fs::create_directory(stick / ".Trash");
            ::chmod((stick / ".Trash").c_str(), c.shared == Shared::Sticky ? 01777 : 0777);
        } else if (c.shared == Shared::Link) {
            fs::create_directory(home / "elsewhere");
            ::chmod((home / "elsewhere").c_str(), 01777);
            fs::create_directory_symlink(home / "elsewhere", stick / ".Trash");
        }
        fs::create_directories(stick / "DCIM" / "100");
        WriteFile(stick / "DCIM" / "100" / "a b.jpg", "photo");

        const TrashResult put = Trash(SystemCalls::Libc(), (home / "Trash").string())
                                    .Put((stick / "DCIM" / "100" / "a b.jpg").string());
        ASSERT_TRUE(put.Succeeded());
        EXPECT_EQ(put.file.trashedPath, (stick / c.trash / "files" / "a b.jpg").string());
        EXPECT_EQ(ReadFile(put.file.trashedPath), "photo");
        EXPECT_NE(ReadFile(put.file.infoPath).find("\nPath=DCIM/100/a%20b.jpg\n"),
                  std::string::npos);
        EXPECT_FALSE(fs::exists(home / "Trash"));
        EXPECT_FALSE(fs::exists(home / "elsewhere" / "0"));
    }
}

} // namespace
} // namespace pirela
