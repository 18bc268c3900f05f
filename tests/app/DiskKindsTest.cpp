// Every file operation on every kind of disk a photo is sorted onto (ext4, FAT/exFAT, FUSE,
// CIFS, as the SystemCalls seam plays them), each against one invariant: nothing lost, nothing
// replaced without the user's Yes, no temporary or parking name left, and the user told when
// something did not happen.
#include "app/CPirelaDoc.h"
#include "rename/BatchRenamer.h"
#include "support/DiskProfile.h"
#include "support/RecordingHost.h"
#include "support/TempDir.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>

namespace pirela {
namespace {

namespace fs = std::filesystem;
using test::DiskKind;
using test::DiskProfile;

constexpr DiskKind kKinds[] = {DiskKind::Ext4, DiskKind::Fat, DiskKind::Fuse, DiskKind::Cifs};
// Stands for FAT's 4 GiB; the journal's records, which go through the same calls, stay below.
constexpr std::uint64_t kLargestFatFile = 20000;

using Snapshot = std::map<std::string, std::string>; // path -> content

Snapshot Take(std::initializer_list<fs::path> folders) {
    Snapshot files;
    for (const fs::path& folder : folders) {
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            if (entry.is_regular_file()) {
                files[entry.path().string()] = test::ReadFile(entry.path());
            }
        }
    }
    return files;
}

// replaced: the path whose old content the user agreed to give up, if any.
void ExpectNothingLost(const Snapshot& before, const Snapshot& after,
                       const std::string& replaced = {}) {
    std::multiset<std::string> contents;
    for (const auto& [path, content] : after) {
        contents.insert(content);
        const std::string name = fs::path(path).filename().string();
        EXPECT_FALSE(name.starts_with(".pirela-") || name.starts_with("_%%tmp_")) << path;
    }
    for (const auto& [path, content] : before) {
        if (path == replaced) {
            continue;
        }
        EXPECT_TRUE(contents.count(content) != 0) << "lost: " << path;
        const auto now = after.find(path);
        EXPECT_TRUE(now == after.end() || now->second == content) << "replaced: " << path;
    }
}

bool Told(const test::RecordingHost& host) {
    return std::any_of(host.icons.begin(), host.icons.end(),
                       [](MessageIcon icon) { return icon != MessageIcon::Question; });
}

bool CrossDeviceAvailable() {
    struct stat a {};
    struct stat b {};
    return ::stat(fs::temp_directory_path().c_str(), &a) == 0 && ::stat("/dev/shm", &b) == 0 &&
           a.st_dev != b.st_dev;
}

struct SendCase {
    const char* what;
    const char* file;
    std::size_t size;
    int sendType;           // 1 copies, 0 moves
    MessageAnswer answer;   // to the overwrite question; Ok: no file waits at the destination
    const char* newName;    // typed into the new-name dialog when it shows
    bool rename;            // the new-name dialog at every send
    const char* sentAs;     // where it ends on ext4 (nullptr: not sent)
    const char* sentAsElse; // where it ends on the other disks
};

TEST(DiskKindsTest, SendingCopiesMovesReplacesAndRenamesOnEveryDisk) {
    constexpr auto kNone = MessageAnswer::Ok;
    constexpr auto kYes = MessageAnswer::Yes;
    constexpr auto kNo = MessageAnswer::No;
    constexpr auto kCancel = MessageAnswer::Cancel;
    const SendCase cases[] = {
        {"copy", "a.png", 100, 1, kNone, nullptr, false, "a.png", "a.png"},
        {"move", "a.png", 100, 0, kNone, nullptr, false, "a.png", "a.png"},
        {"overwrite: Yes", "a.png", 100, 1, kYes, nullptr, false, "a.png", "a.png"},
        {"overwrite: Cancel", "a.png", 100, 0, kCancel, nullptr, false, nullptr, nullptr},
        {"overwrite: No, new name", "a.png", 100, 0, kNo, "b", false, "b.png", "b.png"},
        {"rename on send", "a.png", 100, 0, kNone, "c", true, "c.png", "c.png"},
        {"a name the disk refuses", "a:b.png", 100, 0, kNone, "ab", false, "a:b.png", "ab.png"},
        {"larger than FAT holds", "big.png", 30000, 1, kNone, nullptr, false, "big.png", "big.png"},
    };
    for (const DiskKind kind : kKinds) {
        for (const bool crossDevice : {false, true}) {
            if (crossDevice && !CrossDeviceAvailable()) {
                continue;
            }
            for (const SendCase& c : cases) {
                SCOPED_TRACE(testing::Message()
                             << test::NameOf(kind) << (crossDevice ? ", across disks, " : ", ")
                             << c.what);
                test::TempDir src;
                test::TempDir dst(crossDevice ? fs::path("/dev/shm") : fs::temp_directory_path());
                const std::string content(c.size, 'p');
                test::WriteFile(src / c.file, content);
                if (c.answer != kNone) {
                    test::WriteFile(dst / c.file, "the old one");
                }
                const DiskProfile disk(kind, kLargestFatFile);
                AppSettings settings;
                settings.options.ask = 0;
                settings.options.sendType = c.sendType;
                settings.options.changeFileName = c.rename ? 1 : 0;
                test::RecordingHost host;
                host.hasFileListWindow = false;
                host.answers = {c.answer};
                if (c.newName != nullptr) {
                    host.nameAnswers = {c.newName};
                }
                const test::TempDir home; // the trash and the journal
                test::SandboxDesktopHome(home);
                CPirelaDoc doc(settings, host, host, disk.Calls(), home / "state");
                ASSERT_TRUE(doc.OpenImageFile((src / c.file).string()));
                doc.AwaitListing();
                const Snapshot before = Take({src.Path(), dst.Path()});

                const bool sent = doc.SendImageToFolder(0, dst.Path().string());

                // A rename on one disk writes nothing, so only a copy meets FAT's file limit.
                const bool tooBig = kind == DiskKind::Fat && c.size > kLargestFatFile &&
                                    (c.sendType == 1 || crossDevice);
                const bool refusedName = kind != DiskKind::Ext4 && std::string(c.file) == "a:b.png";
                const char* expected = tooBig ? nullptr : refusedName ? c.sentAsElse : c.sentAs;
                EXPECT_EQ(sent, expected != nullptr);
                if (expected != nullptr) {
                    EXPECT_EQ(test::ReadFile(dst / expected), content);
                    EXPECT_EQ(fs::exists(src / c.file), c.sendType == 1);
                }
                ExpectNothingLost(before, Take({src.Path(), dst.Path()}),
                                  c.answer == kYes ? (dst / c.file).string() : std::string());
                EXPECT_EQ(Told(host), tooBig || refusedName);
            }
        }
    }
}

TEST(DiskKindsTest, UndoTakesBackOnlyWhatTheSendLeftOnEveryDisk) {
    enum class Change { None, Edited, Replaced, OldPlaceTaken };
    const struct {
        const char* what;
        bool copy;
        Change change;
        bool undone;
    } cases[] = {
        {"copy", true, Change::None, true},
        {"copy edited in place", true, Change::Edited, false},
        {"move", false, Change::None, true},
        {"move replaced since", false, Change::Replaced, false},
        {"move whose old place is taken", false, Change::OldPlaceTaken, false},
    };
    for (const DiskKind kind : kKinds) {
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << test::NameOf(kind) << ", " << c.what);
            test::TempDir src;
            test::TempDir dst;
            const fs::path from = src / "a.png";
            const fs::path to = dst / "a.png";
            test::WriteFile(from, "photo");
            const DiskProfile disk(kind);
            AppSettings settings;
            settings.options.ask = 0;
            settings.options.sendType = c.copy ? 1 : 0;
            test::RecordingHost host;
            host.hasFileListWindow = false;
            const test::TempDir home; // the trash and the journal
            test::SandboxDesktopHome(home);
            CPirelaDoc doc(settings, host, host, disk.Calls(), home / "state");
            ASSERT_TRUE(doc.OpenImageFile(from.string()));
            doc.AwaitListing();
            ASSERT_TRUE(doc.SendImageToFolder(0, dst.Path().string()));
            if (c.change == Change::Edited) { // same size, same modification time
                const auto modified = fs::last_write_time(to);
                test::WriteFile(to, "PHOTO");
                fs::last_write_time(to, modified);
            } else if (c.change == Change::Replaced) {
                test::WriteFile(dst / "new", "another");
                fs::rename(dst / "new", to);
            } else if (c.change == Change::OldPlaceTaken) {
                test::WriteFile(from, "a new one");
            }
            const Snapshot before = Take({src.Path(), dst.Path()});
            host.answers = {MessageAnswer::Yes};
            doc.UndoLastSend();
            ExpectNothingLost(before, Take({src.Path(), dst.Path()}));
            EXPECT_EQ(fs::exists(to), !c.undone);
            EXPECT_EQ(Told(host), !c.undone);
        }
    }
}

TEST(DiskKindsTest, TheTrashTakesTheFileOrLeavesItWhereItIsOnEveryDisk) {
    for (const DiskKind kind : kKinds) {
        SCOPED_TRACE(test::NameOf(kind));
        test::TempDir home;
        test::SandboxDesktopHome(home);
        fs::create_directory(home / "pics");
        for (const char* name : {"a.png", "b.png"}) {
            test::WriteFile(home / "pics" / name, name);
        }
        const DiskProfile disk(kind);
        AppSettings settings;
        test::RecordingHost host;
        host.hasFileListWindow = false;
        CPirelaDoc doc(settings, host, host, disk.Calls(), home / "state");
        ASSERT_TRUE(doc.OpenImageFile((home / "pics" / "a.png").string()));
        doc.AwaitListing();
        const Snapshot before = Take({home.Path()});
        host.answers = {MessageAnswer::Yes};
        doc.DeleteToRecycleBin();
        ExpectNothingLost(before, Take({home.Path()}));
        EXPECT_EQ(test::ReadFile(home / "data" / "Trash" / "files" / "a.png"), "a.png");
        EXPECT_FALSE(Told(host));

        // A trash that cannot be made leaves the file where it is, and says so.
        test::WriteFile(home / "blocked", "");
        ::setenv("XDG_DATA_HOME", (home / "blocked" / "data").c_str(), 1);
        host.Clear();
        host.answers = {MessageAnswer::Yes};
        doc.DeleteToRecycleBin();
        EXPECT_EQ(test::ReadFile(home / "pics" / "b.png"), "b.png");
        EXPECT_TRUE(Told(host));
    }
}

TEST(DiskKindsTest, BatchRenameNumbersEveryFileOnEveryDisk) {
    const struct {
        const char* prefix;
        bool renamedElsewhere; // on the disks that refuse some characters
    } cases[] = {{"image_", true}, {"a:b_", false}};
    for (const DiskKind kind : kKinds) {
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << test::NameOf(kind) << ", prefix " << c.prefix);
            test::TempDir dir;
            std::vector<std::string> names;
            for (int i = 1; i <= 4; ++i) {
                names.push_back("IMAGE_0" + std::to_string(i) + ".JPG");
                test::WriteFile(dir / names.back(), names.back());
            }
            const Snapshot before = Take({dir.Path()});
            const DiskProfile disk(kind);
            const BatchRenameCounts counts =
                BatchRenamer(disk.Calls()).Rename(dir.Path().string(), names, c.prefix, 2, 1);
            ExpectNothingLost(before, Take({dir.Path()}));
            const bool renamed = kind == DiskKind::Ext4 || c.renamedElsewhere;
            EXPECT_EQ(counts.succeeded, renamed ? 4 : 0);
            EXPECT_EQ(fs::exists(dir / (std::string(c.prefix) + "04.jpg")), renamed);
        }
    }
}

// fusefat makes the entry of an exclusive create it answers with ENOENT: every claim that failed
// so is taken away again, and so every file of a run that went wrong keeps a visible name.
TEST(DiskKindsTest, AFatDiskThatMakesTheClaimsItRefusesKeepsNoneOfThem) {
    test::TempDir dir;
    std::vector<std::string> names;
    for (int i = 100; i < 130; ++i) {
        names.push_back("DSC_0" + std::to_string(i) + ".JPG");
        test::WriteFile(dir / names.back(), names.back());
    }
    const Snapshot before = Take({dir.Path()});
    const DiskProfile disk(DiskKind::FuseFat, kLargestFatFile, 15);
    const BatchRenameCounts counts =
        BatchRenamer(disk.Calls()).Rename(dir.Path().string(), names, "image_", 2, 1);
    const Snapshot after = Take({dir.Path()});
    ExpectNothingLost(before, after);
    EXPECT_EQ(after.size(), names.size());
    EXPECT_EQ(counts.succeeded + counts.failed, 30);
    EXPECT_GT(counts.failed, 0);
}

} // namespace
} // namespace pirela
