// A photo's XMP sidecars go with it wherever the program takes it, in the same operation, and
// come back with it; a sidecar two photos share, or whose place is taken, stays.
#include "app/CPirelaDoc.h"
#include "platform/Sidecars.h"
#include "rename/BatchRename.h"
#include "support/ImageFixtures.h"
#include "support/RecordingHost.h"
#include "support/TempDir.h"

#include <functional>
#include <gtest/gtest.h>
#include <map>

namespace pirela {
namespace {

namespace fs = std::filesystem;

using Tree = std::map<std::string, std::string>; // path below the test's folder -> content

class SidecarTest : public ::testing::Test {
protected:
    SidecarTest() {
        test::SandboxDesktopHome(dir_);
        fs::create_directories(src_);
        fs::create_directories(dst_);
        for (const char* photo : {"a.png", "b.png", "c.png"}) {
            test::WritePng(src_ / photo, test::PngFromSamples(test::PhotoLike(4, 3, 3)));
        }
        test::WriteJpeg(src_ / "c.jpg", test::PhotoLike(4, 3, 3), false);
        for (const char* sidecar : {"a.png.xmp", "b.xmp", "c.xmp"}) {
            test::WriteFile(src_ / sidecar, std::string("xmp of ") + sidecar);
        }
        settings_.options.ask = 0;
        settings_.destinationFolders[0] = dst_.string();
        host_.hasFileListWindow = false;
    }

    Tree Take() const {
        Tree tree;
        for (const fs::path& folder : {src_, dst_, dir_ / "data" / "Trash" / "files"}) {
            std::error_code error;
            for (const auto& entry : fs::directory_iterator(folder, error)) {
                tree[fs::relative(entry.path(), dir_.Path()).string()] = test::ReadFile(entry.path());
            }
        }
        return tree;
    }

    void Send(const char* photo, int sendType) {
        settings_.options.sendType = sendType;
        ASSERT_TRUE(doc_.OpenImageFile((src_ / photo).string()));
        doc_.AwaitListing();
        ASSERT_TRUE(doc_.SendImageToFolder(0, {}));
    }

    test::TempDir dir_;
    fs::path src_ = dir_ / "pics";
    fs::path dst_ = dir_ / "sorted";
    AppSettings settings_;
    test::RecordingHost host_;
    CPirelaDoc doc_{settings_, host_, host_, SystemCalls::Libc(), dir_ / "state"};
};

TEST_F(SidecarTest, SidecarsGoAndComeBackWithTheirPhoto) {
    const auto rename = [this] {
        BatchRenameSettings settings;
        settings.folder = src_.string();
        settings.prefix = "x_";
        host_.answers = {MessageAnswer::Yes};
        BatchRename(host_, host_, doc_.Operations()).Run(settings, 4, [](const auto&) {});
    };
    struct Case {
        const char* what;
        std::function<void()> operation;
        std::vector<std::string> went;   // gone from the photos' folder
        std::vector<std::string> arrived; // new below the test's folder
    };
    const Case cases[] = {
        {"copy", [&] { Send("a.png", 1); }, {}, {"sorted/a.png", "sorted/a.png.xmp"}},
        {"move", [&] { Send("b.png", 0); }, {"pics/b.png", "pics/b.xmp"},
         {"sorted/b.png", "sorted/b.xmp"}},
        {"move of a photo whose sidecar another shares", [&] { Send("c.png", 0); },
         {"pics/c.png"}, {"sorted/c.png"}},
        {"move to a taken sidecar place",
         [&] {
             test::WriteFile(dst_ / "b.xmp", "another");
             Send("b.png", 0);
             fs::remove(dst_ / "b.xmp");
         },
         {"pics/b.png"}, {"sorted/b.png"}},
        {"trash",
         [&] {
             ASSERT_TRUE(doc_.OpenImageFile((src_ / "a.png").string()));
             doc_.AwaitListing();
             host_.answers = {MessageAnswer::Yes};
             doc_.DeleteToRecycleBin();
         },
         {"pics/a.png", "pics/a.png.xmp"}, {"data/Trash/files/a.png", "data/Trash/files/a.png.xmp"}},
        {"batch rename", rename, {"pics/a.png", "pics/a.png.xmp", "pics/b.png", "pics/b.xmp", "pics/c.jpg", "pics/c.png"},
         {"pics/x_01.png", "pics/x_01.png.xmp", "pics/x_02.png", "pics/x_02.xmp", "pics/x_03.jpg", "pics/x_04.png"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Tree before = Take();
        c.operation();
        const Tree after = Take();
        for (const std::string& path : c.went) {
            EXPECT_FALSE(after.count(path)) << path;
        }
        for (const std::string& path : c.arrived) {
            EXPECT_EQ(after.count(path), 1u) << path;
        }
        EXPECT_EQ(after.size(), before.size() + c.arrived.size() - c.went.size());
        host_.answers = {MessageAnswer::Yes};
        doc_.UndoLastSend();
        // The copies an undo takes away wait in the trash; the user empties it.
        Tree expected = before;
        for (const std::string& path : c.went.empty() ? c.arrived : std::vector<std::string>{}) {
            expected["data/Trash/files/" + fs::path(path).filename().string()] = after.at(path);
        }
        EXPECT_EQ(Take(), expected);
        if (c.went.empty()) {
            fs::remove_all(dir_ / "data" / "Trash");
        }
    }
    // Sidecars are never listed as images.
    ASSERT_TRUE(doc_.OpenImageFile((src_ / "a.png").string()));
    doc_.AwaitListing();
    EXPECT_EQ(doc_.FileList().Count(), 4);
}

TEST(SidecarNames, FollowTheirPhotosNewName) {
    const char* cases[][4] = {
        // sidecar, photo, photo's new path, sidecar's new path
        {"/a/X.xmp", "/a/X.CR2", "/b/Y.cr2", "/b/Y.xmp"},
        {"/a/X.CR2.xmp", "/a/X.CR2", "/b/Y.cr2", "/b/Y.cr2.xmp"},
        {"X.XMP", "X.jpg", "image_01.jpg", "image_01.XMP"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SidecarFollowing(c[0], c[1], c[2]), c[3]) << c[0];
    }
}

} // namespace
} // namespace pirela
