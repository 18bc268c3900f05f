#include "folder/FolderScan.h"

#include "support/ChildProcess.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <algorithm>

namespace pirela {
namespace {

namespace fs = std::filesystem;

class FolderScanTest : public ::testing::Test {
protected:
    void Touch(const std::string& relative) {
        fs::create_directories((dir_ / relative).parent_path());
        test::WriteFile(dir_ / relative, "");
    }

    std::vector<std::string> Scan(ScanOptions options) {
        ImageFileList list;
        EXPECT_EQ(AddImageFilesOf(dir_.Path().string(), options, list), ScanEnd::Complete);
        list.SortFileList();
        return list.Names();
    }

    test::TempDir dir_;
};

TEST_F(FolderScanTest, ListsOnlyOpenableImageFilesOfTheFolder) {
    for (const char* name : {"a.jpg", "B.PNG", "c.Bmp", "d.dib", "e.jpe", "photo.jpeg", "notes.txt",
                             "noextension", "sub/f.jpg"}) {
        Touch(name);
    }
    fs::create_directory(dir_ / "folder.jpg");
    ::mkfifo((dir_ / "pipe.jpg").c_str(), 0600);
    EXPECT_EQ(Scan({false, false, FormatSet::Classic}),
              (std::vector<std::string>{"a.jpg", "B.PNG", "c.Bmp", "d.dib", "e.jpe"}));
    // The camera roll's formats are listed unless only the classic ones are asked for; a
    // photo's sidecar never is.
    for (const char* name :
         {"IMG_1.HEIC", "f.webp", "g.tif", "h.gif", "i.CR3", "i.CR3.xmp", "j.avif"}) {
        Touch(name);
    }
    EXPECT_EQ(Scan({}), (std::vector<std::string>{"a.jpg", "B.PNG", "c.Bmp", "d.dib", "e.jpe",
                                                  "f.webp", "g.tif", "h.gif", "i.CR3", "IMG_1.HEIC",
                                                  "j.avif", "photo.jpeg"}));
}

TEST_F(FolderScanTest, SubfoldersComeAsRelativePathsAfterTheFilesOfEachLevel) {
    for (const char* name : {"z.jpg", "a.jpg", "sub/b.jpg", "sub/deep/c.jpg", "other/d.png"}) {
        Touch(name);
    }
    EXPECT_EQ(Scan({true, false}), (std::vector<std::string>{"a.jpg", "z.jpg", "other/d.png",
                                                             "sub/b.jpg", "sub/deep/c.jpg"}));
}

TEST_F(FolderScanTest, HiddenFilesAndFoldersOnlyWhenAskedFor) {
    for (const char* name : {"a.jpg", ".hidden.jpg", ".secret/b.jpg", "open/.c.jpg"}) {
        Touch(name);
    }
    EXPECT_EQ(Scan({true, false}), (std::vector<std::string>{"a.jpg"}));
    EXPECT_EQ(Scan({true, true}), (std::vector<std::string>{".hidden.jpg", "a.jpg",
                                                            ".secret/b.jpg", "open/.c.jpg"}));
    EXPECT_EQ(Scan({false, true}), (std::vector<std::string>{".hidden.jpg", "a.jpg"}));
}

TEST_F(FolderScanTest, LinkLoopsAndVanishedFoldersEndQuietly) {
    Touch("a/x.jpg");
    fs::create_directory_symlink(dir_.Path(), dir_ / "a" / "loop");
    EXPECT_EQ(Scan({true, false}), std::vector<std::string>{"a/x.jpg"});

    ImageFileList list;
    EXPECT_EQ(AddImageFilesOf((dir_ / "vanished").string(), {true, false}, list),
              ScanEnd::Complete);
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(FolderScanTest, AFolderThatCannotBeReadAddsNothingAndTheWalkGoesOn) {
    Touch("a/x.jpg");
    Touch("locked/y.jpg");
    Touch("z.jpg");
    if (test::kThreadSanitizer) {
        GTEST_SKIP() << "ThreadSanitizer's own thread keeps a forked child out of a user namespace";
    }
    ::chmod((dir_ / "locked").c_str(), 0);
    // Root reads any folder; in a user namespace of its own it is bound by the permission bits.
    const int result = test::ExitCodeInChild([this] {
        if (!test::DropPowerOverFiles()) {
            return test::kChildCannotPrepare;
        }
        ImageFileList list;
        const bool finished =
            AddImageFilesOf(dir_.Path().string(), {true, false}, list) == ScanEnd::Complete;
        list.SortFileList();
        return finished && list.Names() == std::vector<std::string>{"z.jpg", "a/x.jpg"} ? 0 : 1;
    });
    if (result == test::kChildCannotPrepare) {
        GTEST_SKIP() << "no user namespace here, and root reads every folder";
    }
    EXPECT_EQ(result, 0) << "the locked folder's image was listed, or the walk stopped";
}

} // namespace
} // namespace pirela
