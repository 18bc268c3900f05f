// Every kind of file operation, and the undo of each, stopped as a kill -9 or a power cut would
// stop it just before each call it makes through the system-call seam (the journal's own
// writes included), in a forked child; then recovered in the parent as the next start
// recovers it. Besides disks with every call, a FAT disk (no links, no flags for rename: names
// are claimed with an empty file first) and a disk whose renames cannot refuse to replace
// (a link is made, then the old name removed) take the paths that leave more behind; FAT and
// exFAT cards replugged after the crash hand out new device and inode numbers, so that only
// names, sizes and times still tell the files apart. Whatever the point, the files must be
// exactly as before the operation or exactly as after it (names, contents, modes; no temporary
// or parking name; nothing else touched; the trash holding only what the operation put there,
// with its records), the journal must hold nothing open, and undoing everything must give back
// the first tree byte for byte, modification times included (a copy taken back waits in the
// trash).
#include "app/OperationUndo.h"
#include "app/Recovery.h"
#include "app/TrashOperation.h"
#include "journal/JournalLocation.h"
#include "journal/OperationHistory.h"
#include "journal/OperationLog.h"
#include "rename/BatchRename.h"
#include "send/SendEngine.h"
#include "support/ChildProcess.h"
#include "support/DiskProfile.h"
#include "support/FaultySystemCalls.h"
#include "support/RecordingHost.h"
#include "support/TempDir.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <set>

namespace pirela {
namespace {

namespace fs = std::filesystem;

struct FileState {
    std::string content;
    unsigned mode = 0;
    std::int64_t modified = 0; // nanoseconds; only where times are compared
    bool operator==(const FileState&) const = default;
};

// The files of the test's folders by their paths below the folders, and the trash.
struct TreeState {
    std::map<std::string, FileState> files;
    std::multiset<std::string> trashed; // the contents of the files in the trash
    std::size_t records = 0;            // trash records
    bool operator==(const TreeState&) const = default;
};

std::string Describe(const TreeState& state) {
    std::string text;
    for (const auto& [path, file] : state.files) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%o", file.mode);
        text += "  " + path + " (" + std::to_string(file.content.size()) + " bytes, mode " + mode +
                (file.modified != 0 ? ", modified " + std::to_string(file.modified) : "") + ")\n";
    }
    return text + "  trash: " + std::to_string(state.trashed.size()) + " files, " +
           std::to_string(state.records) + " records\n";
}

// The trash holds, beyond what it held first, only copies that undoing a copy took away (each
// the bytes of a file still there), each with its record.
bool OnlyUndoneCopiesTrashed(const TreeState& undone, const TreeState& first) {
    std::multiset<std::string> extra = undone.trashed;
    for (const std::string& held : first.trashed) {
        if (const auto at = extra.find(held); at != extra.end()) {
            extra.erase(at);
        }
    }
    for (const std::string& copy : extra) {
        const bool ofAFile = std::any_of(first.files.begin(), first.files.end(),
                                         [&copy](const auto& file) { return file.second.content == copy; });
        if (!ofAFile) {
            return false;
        }
    }
    return undone.records - first.records == extra.size();
}

// Another disk beside the photos' own: a tmpfs of the test's own, mounted in a mount namespace
// of this process where it may make one (as root), so that no other test shares its trash;
// else /dev/shm.
class OtherDisk {
public:
    OtherDisk() {
        const fs::path folder =
            fs::temp_directory_path() / ("pirela-crash-disk-" + std::to_string(::getpid()));
        fs::create_directories(folder);
        mounted_ = ::unshare(CLONE_NEWNS) == 0 &&
                   ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                   ::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=64m") == 0;
        path_ = mounted_ ? folder : fs::path("/dev/shm");
        if (!mounted_) {
            fs::remove(folder);
        }
    }
    ~OtherDisk() {
        if (mounted_) {
            ::umount(path_.c_str());
            fs::remove(path_);
        }
    }
    OtherDisk(const OtherDisk&) = delete;
    OtherDisk& operator=(const OtherDisk&) = delete;

    static const fs::path& Path() {
        static const OtherDisk disk;
        return disk.path_;
    }

private:
    bool mounted_ = false;
    fs::path path_;
};

// The photos' folder and the destination (on the other disk, when asked), with the
// user's home, trash and journal beside them.
class Tree {
public:
    explicit Tree(bool crossDevice) {
        if (crossDevice) {
            other_.emplace(OtherDisk::Path());
        }
        test::SandboxDesktopHome(home_);
        fs::create_directories(Src());
        fs::create_directories(Dst());
        Write(Src() / "a.jpg", std::string(3000, 'a'));
        Write(Src() / "bystander.jpg", "not part of any operation");
    }

    fs::path Src() const { return home_ / "pics"; }
    fs::path Dst() const { return (other_ ? other_->Path() : home_.Path()) / "sorted"; }
    fs::path Journal() const { return home_ / "state"; }

    // Each file with a mode and a modification time of its own, which must come back.
    static void Write(const fs::path& file, const std::string& content) {
        test::WriteFile(file, content);
        ::chmod(file.c_str(), 0640);
        const struct timespec times[2] = {{1000000000 + long(content.size()), 0},
                                          {1000000000 + long(content.size()), 123456789}};
        ::utimensat(AT_FDCWD, file.c_str(), times, 0);
    }

    TreeState Take(bool withTimes) const {
        TreeState state;
        for (const fs::path& folder : {Src(), Dst()}) {
            for (const auto& entry : fs::recursive_directory_iterator(folder)) {
                struct stat status {};
                ::lstat(entry.path().c_str(), &status);
                state.files[fs::relative(entry.path(), folder.parent_path()).string()] = {
                    test::ReadFile(entry.path()), status.st_mode & 07777,
                    withTimes ? status.st_mtim.tv_sec * 1000000000LL + status.st_mtim.tv_nsec : 0};
            }
        }
        TakeTrash(home_ / "data" / "Trash", "", state);
        if (other_) {
            TakeTrash(OtherDisk::Path() / (".Trash-" + std::to_string(::getuid())),
                      other_->Path().filename().string() + "/", state);
        }
        return state;
    }

private:
    // The trash's files and records; in a disk's own trash, which other tests share, only
    // those of this test's folder, and records cut off empty under the names of its a.jpg.
    static void TakeTrash(const fs::path& trash, const std::string& ours, TreeState& state) {
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(trash / "info", error)) {
            const std::string record = test::ReadFile(entry.path());
            const std::string name = entry.path().filename().string();
            const bool empty = record.empty() && name.starts_with("a.") &&
                               name.ends_with(".jpg.trashinfo");
            if (!ours.empty() && !empty && record.find("\nPath=" + ours) == std::string::npos) {
                continue;
            }
            ++state.records;
            const fs::path file = trash / "files" / entry.path().stem();
            if (fs::exists(file)) {
                state.trashed.insert(test::ReadFile(file));
            }
        }
        if (ours.empty()) {
            for (const auto& entry : fs::directory_iterator(trash / "files", error)) {
                if (!fs::exists(trash / "info" / (entry.path().filename().string() + ".trashinfo"))) {
                    state.trashed.insert("(without a record) " + test::ReadFile(entry.path()));
                }
            }
        }
    }

    test::TempDir home_;
    std::optional<test::TempDir> other_;
};

// The calls as the kind of disk answers them. Replugged: FAT, or exFAT through FUSE, unplugged
// after the crash and plugged in again, which hands out new device and inode numbers.
enum class Disk { Full, Fat, LinksOnly, FatReplugged, ExfatReplugged };

bool Replugged(Disk disk) {
    return disk == Disk::FatReplugged || disk == Disk::ExfatReplugged;
}

bool OnTheCard(const char* path) {
    return std::string_view(path).starts_with(OtherDisk::Path().string() + "/");
}

bool OnTheCard(int fd) {
    char path[4096] = {};
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    return ::readlink(link.c_str(), path, sizeof path - 1) > 0 && OnTheCard(path);
}

// The card's calls for what lies on it (the other disk of the moves across disks), the
// C library's for the photos' own disk.
SystemCalls CardBeside(const SystemCalls& card) {
    const SystemCalls& libc = SystemCalls::Libc();
    SystemCalls calls = libc;
    const auto byPath = [](auto onCard, auto elsewhere) {
        return [onCard, elsewhere](const char* path, auto... rest) {
            return OnTheCard(path) ? onCard(path, rest...) : elsewhere(path, rest...);
        };
    };
    const auto byFd = [](auto onCard, auto elsewhere) {
        return [onCard, elsewhere](int fd, auto... rest) {
            return OnTheCard(fd) ? onCard(fd, rest...) : elsewhere(fd, rest...);
        };
    };
    const auto byEither = [](auto onCard, auto elsewhere) {
        return [onCard, elsewhere](const char* from, const char* to) {
            return OnTheCard(from) || OnTheCard(to) ? onCard(from, to) : elsewhere(from, to);
        };
    };
    calls.open = byPath(card.open, libc.open);
    calls.write = byFd(card.write, libc.write);
    calls.sendfile = byFd(card.sendfile, libc.sendfile);
    calls.fchmod = byFd(card.fchmod, libc.fchmod);
    calls.rename = byEither(card.rename, libc.rename);
    calls.renameNoReplace = byEither(card.renameNoReplace, libc.renameNoReplace);
    calls.link = byEither(card.link, libc.link);
    calls.mkdir = byPath(card.mkdir, libc.mkdir);
    calls.statvfs = byPath(card.statvfs, libc.statvfs);
    calls.statfs = byPath(card.statfs, libc.statfs);
    return calls;
}

class DiskCalls {
public:
    DiskCalls(Disk disk, bool crossDevice)
        : fat_(test::DiskKind::Fat), exfat_(test::DiskKind::Fuse), calls_(SystemCalls::Libc()) {
        if (disk == Disk::Fat || disk == Disk::FatReplugged) {
            calls_ = fat_.Calls();
        } else if (disk == Disk::ExfatReplugged) {
            calls_ = exfat_.Calls();
        } else if (disk == Disk::LinksOnly) {
            calls_.renameNoReplace = [](const char*, const char*) {
                errno = EINVAL;
                return -1;
            };
        }
        if (Replugged(disk) && crossDevice) {
            calls_ = CardBeside(calls_); // the card is the destination; the photos stay on ext4
        }
    }
    const SystemCalls& Calls() const { return calls_; }

private:
    test::DiskProfile fat_;
    test::DiskProfile exfat_;
    SystemCalls calls_;
};

// Every device and inode number the journal recorded for a file on the card before it was
// replugged now stands for nothing, or for another file. cardOnly: the card is the other disk, beside
// the photos' own disk, which keeps its numbers.
void Replug(const Tree& tree, bool cardOnly) {
    const fs::path journal = JournalFileIn(tree.Journal());
    std::map<std::string, std::vector<std::pair<std::string, std::string>>> files; // from, to
    std::string rewritten;
    for (JournalRecord record : JournalFile(journal).ReadAll()) {
        auto& paths = files[record.operation];
        std::size_t file = paths.size();
        for (auto& [key, value] : record.fields) {
            if (key == "from") {
                paths.emplace_back(value, "");
                file = paths.size() - 1;
            } else if (key == "to" && file < paths.size()) {
                paths[file].second = value;
            } else if (key == "file") {
                file = std::stoul(value);
            }
            const bool at = key == "identity" || key == "standing" || key == "placed";
            if (!at || file >= paths.size()) {
                continue;
            }
            const std::string& path = key == "identity" ? paths[file].first : paths[file].second;
            std::optional<FileIdentity> identity = DecodeIdentity(value);
            if (identity && (!cardOnly || OnTheCard(path.c_str()))) {
                identity->device += 7;
                identity->inode += 1000003;
                value = EncodeIdentity(*identity);
            }
        }
        rewritten += EncodeJournalRecord(record);
    }
    test::WriteFile(journal, rewritten);
}

using Operation = std::function<void(const Tree&, OperationLog&, const SystemCalls&)>;

Operation Send(bool copy, Overwrite overwrite) {
    return [copy, overwrite](const Tree& tree, OperationLog& log, const SystemCalls& calls) {
        test::RecordingHost host;
        SendPlan plan{(tree.Src() / "a.jpg").string(),
                      SendTarget{(tree.Dst() / "a.jpg").string(), overwrite}, copy};
        SendEngine(host, host, log, calls).Transfer(plan, [] {});
    };
}

void PutInTheTrash(const Tree& tree, OperationLog& log, const SystemCalls& calls) {
    TrashOperation(log, calls).Put((tree.Src() / "a.jpg").string());
}

// b.jpg, c.jpg and image_01.jpg become image_01, image_02 and image_03: image_01.jpg's new
// name is b's old one, so a failure there sends b back first.
void RenameThree(const Tree& tree, OperationLog& log, const SystemCalls& calls) {
    test::RecordingHost host;
    host.answers = {MessageAnswer::Yes};
    BatchRenameSettings settings;
    settings.folder = tree.Dst().string();
    settings.prefix = "image_";
    BatchRename(host, host, log, calls).Run(settings, 3, [](const auto&) {});
}

void UndoLatest(const Tree&, OperationLog& log, const SystemCalls& calls) {
    test::RecordingHost host;
    host.answers = {MessageAnswer::Yes};
    const std::optional<FileOperation> latest =
        LatestUndoable(JournalFile(log.Journal().Path()).ReadBytes());
    ASSERT_TRUE(latest);
    OperationUndo(host, host, log, calls).Run(*latest);
}

struct CrashCase {
    const char* kind;
    Disk disk;
    bool crossDevice;
    std::function<void(const Tree&)> prepare;
    Operation operation;
    bool crashTheUndo; // the operation runs whole; its undo is stopped
};

void PrepareOld(const Tree& tree) {
    Tree::Write(tree.Dst() / "a.jpg", "the old destination, kept in the trash");
}

void PrepareRename(const Tree& tree) {
    for (const char* name : {"b.jpg", "c.jpg", "image_01.jpg"}) {
        Tree::Write(tree.Dst() / name, std::string("photo ") + name);
    }
}

// The photos with sidecars, which go with them in the same operation.
void PrepareSidecar(const Tree& tree) {
    Tree::Write(tree.Src() / "a.jpg.xmp", "sidecar of a.jpg");
}

void PrepareRenameWithSidecars(const Tree& tree) {
    PrepareRename(tree);
    Tree::Write(tree.Dst() / "b.xmp", "sidecar of b.jpg");
    Tree::Write(tree.Dst() / "image_01.jpg.xmp", "sidecar of image_01.jpg");
}

// Takes back every operation the journal offers, newest first.
void UndoEverything(const Tree& tree, const SystemCalls& calls) {
    OperationLog log(tree.Journal(), calls);
    for (int guard = 0; guard < 10; ++guard) {
        const std::optional<FileOperation> latest =
            LatestUndoable(JournalFile(log.Journal().Path()).ReadBytes());
        if (!latest) {
            return;
        }
        test::RecordingHost host;
        host.answers = {MessageAnswer::Yes};
        ASSERT_EQ(OperationUndo(host, host, log, calls).Run(*latest),
                  OperationUndo::Outcome::Done)
            << latest->kind << ": " << (host.messages.size() > 1 ? host.messages[1] : "");
    }
    FAIL() << "the undo never ends";
}

// The tree before and after the operation run whole.
std::pair<TreeState, TreeState> Ends(const CrashCase& c, const SystemCalls& calls) {
    Tree tree(c.crossDevice);
    if (c.prepare) {
        c.prepare(tree);
    }
    OperationLog log(tree.Journal(), calls);
    if (c.crashTheUndo) {
        c.operation(tree, log, calls);
    }
    const TreeState before = tree.Take(false);
    (c.crashTheUndo ? UndoLatest : c.operation)(tree, log, calls);
    return {before, tree.Take(false)};
}

bool CrossDeviceAvailable() {
    struct stat a {};
    struct stat b {};
    return ::stat(fs::temp_directory_path().c_str(), &a) == 0 &&
           ::stat(OtherDisk::Path().c_str(), &b) == 0 &&
           a.st_dev != b.st_dev;
}

TEST(CrashPointTest, EveryOperationCutShortAnywhereIsFinishedOrTakenBackWhole) {
    const Disk full = Disk::Full;
    const CrashCase cases[] = {
        {"copy", full, false, {}, Send(true, Overwrite::Refuse), false},
        {"move on one disk", full, false, {}, Send(false, Overwrite::Refuse), false},
        {"move across disks", full, true, {}, Send(false, Overwrite::Refuse), false},
        {"overwrite by a copy", full, false, PrepareOld, Send(true, Overwrite::Confirmed), false},
        {"overwrite by a move across disks", full, true, PrepareOld,
         Send(false, Overwrite::Confirmed), false},
        {"trash", full, false, {}, PutInTheTrash, false},
        {"batch rename", full, false, PrepareRename, RenameThree, false},
        {"undo of a copy", full, false, {}, Send(true, Overwrite::Refuse), true},
        {"undo of a move on one disk", full, false, {}, Send(false, Overwrite::Refuse), true},
        {"undo of a move across disks", full, true, {}, Send(false, Overwrite::Refuse), true},
        {"undo of an overwrite", full, true, PrepareOld, Send(false, Overwrite::Confirmed), true},
        {"undo of a trash", full, false, {}, PutInTheTrash, true},
        {"undo of a batch rename", full, false, PrepareRename, RenameThree, true},
        {"move across disks with a sidecar", full, true, PrepareSidecar,
         Send(false, Overwrite::Refuse), false},
        {"copy with a sidecar", full, false, PrepareSidecar, Send(true, Overwrite::Refuse), false},
        {"trash with a sidecar", full, false, PrepareSidecar, PutInTheTrash, false},
        {"batch rename with sidecars", full, false, PrepareRenameWithSidecars, RenameThree, false},
        {"undo of a move across disks with a sidecar", full, true, PrepareSidecar,
         Send(false, Overwrite::Refuse), true},
        {"undo of a copy with a sidecar", full, false, PrepareSidecar, Send(true, Overwrite::Refuse),
         true},
        {"undo of a trash with a sidecar", full, false, PrepareSidecar, PutInTheTrash, true},
        {"undo of a batch rename with sidecars", full, false, PrepareRenameWithSidecars, RenameThree,
         true},
        {"copy on FAT", Disk::Fat, false, {}, Send(true, Overwrite::Refuse), false},
        {"move on one FAT disk", Disk::Fat, false, {}, Send(false, Overwrite::Refuse), false},
        {"batch rename on FAT", Disk::Fat, false, PrepareRename, RenameThree, false},
        {"undo of a batch rename on FAT", Disk::Fat, false, PrepareRename, RenameThree, true},
        {"copy by a link", Disk::LinksOnly, false, {}, Send(true, Overwrite::Refuse), false},
        {"move by a link", Disk::LinksOnly, false, {}, Send(false, Overwrite::Refuse), false},
        {"batch rename by links", Disk::LinksOnly, false, PrepareRename, RenameThree, false},
        {"batch rename on FAT, replugged", Disk::FatReplugged, false, PrepareRename, RenameThree,
         false},
        {"batch rename on exFAT, replugged", Disk::ExfatReplugged, false, PrepareRename,
         RenameThree, false},
        {"undo of a batch rename on exFAT, replugged", Disk::ExfatReplugged, false, PrepareRename,
         RenameThree, true},
        {"move across disks on FAT, replugged", Disk::FatReplugged, true, {},
         Send(false, Overwrite::Refuse), false},
        {"overwrite by a move across disks on exFAT, replugged", Disk::ExfatReplugged, true,
         PrepareOld, Send(false, Overwrite::Confirmed), false},
        {"trash on FAT, replugged", Disk::FatReplugged, false, {}, PutInTheTrash, false},
        {"undo of a trash on exFAT, replugged", Disk::ExfatReplugged, false, {}, PutInTheTrash,
         true},
    };
    std::string covered;
    for (const CrashCase& c : cases) {
        if (c.crossDevice && !CrossDeviceAvailable()) {
            continue;
        }
        const DiskCalls disk(c.disk, c.crossDevice);
        const SystemCalls& calls = disk.Calls();
        const auto [before, after] = Ends(c, calls);
        ASSERT_NE(before, after) << c.kind;
        int points = 0;
        for (int exitAt = 1;; ++exitAt) {
            SCOPED_TRACE(testing::Message() << c.kind << ", stopped before call " << exitAt);
            Tree tree(c.crossDevice);
            if (c.prepare) {
                c.prepare(tree);
            }
            const TreeState first = tree.Take(true);
            if (c.crashTheUndo) {
                OperationLog log(tree.Journal(), calls);
                c.operation(tree, log, calls);
            }
            const int code = test::ExitCodeInChild([&] {
                test::FaultySystemCalls stopping(calls);
                stopping.exitAt = exitAt;
                OperationLog log(tree.Journal(), stopping.Calls());
                (c.crashTheUndo ? UndoLatest : c.operation)(tree, log, stopping.Calls());
                return 0;
            });
            if (code == 0) {
                break; // it ran to its end before reaching that call
            }
            ASSERT_EQ(code, test::FaultySystemCalls::kExitCode);
            ++points;

            if (Replugged(c.disk)) {
                Replug(tree, c.crossDevice);
            }
            OperationLog log(tree.Journal(), calls);
            Recovery(log, calls).Run();
            const TreeState recovered = tree.Take(false);
            EXPECT_TRUE(recovered == before || recovered == after)
                << "recovered:\n" << Describe(recovered) << "before:\n" << Describe(before)
                << "after:\n" << Describe(after);
            EXPECT_TRUE(log.Journal().Scan().unfinished.empty());

            UndoEverything(tree, calls);
            const TreeState undone = tree.Take(true);
            EXPECT_TRUE(undone.files == first.files && OnlyUndoneCopiesTrashed(undone, first))
                << "after undoing everything:\n" << Describe(undone) << "first:\n" << Describe(first);
        }
        covered += std::string(covered.empty() ? "" : ", ") + c.kind + " " +
                   std::to_string(points);
    }
    std::printf("crash points covered: %s\n", covered.c_str());
}

} // namespace
} // namespace pirela
