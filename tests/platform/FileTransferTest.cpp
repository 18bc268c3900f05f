#include "platform/FileTransfer.h"

#include "support/FaultySystemCalls.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pirela {
namespace {

namespace fs = std::filesystem;
using test::FaultySystemCalls;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

const std::string kNew = std::string(3000, 'n') + "end";
const std::string kOld = "the old destination";
const fs::path kSharedMemory = "/dev/shm";

bool OnOneFileSystem(const fs::path& first, const fs::path& second) {
    struct stat a {};
    struct stat b {};
    return ::stat(first.c_str(), &a) == 0 && ::stat(second.c_str(), &b) == 0 &&
           a.st_dev == b.st_dev;
}

bool CrossDeviceAvailable() {
    return fs::is_directory(kSharedMemory) &&
           !OnOneFileSystem(fs::temp_directory_path(), kSharedMemory);
}

bool HasTemporaryFile(const fs::path& folder) {
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename().string().starts_with(".pirela-")) {
            return true;
        }
    }
    return false;
}

struct stat StatusOf(const fs::path& file) {
    struct stat status {};
    ::stat(file.c_str(), &status);
    return status;
}

enum class Operation { Copy, Move, MoveAcrossDevices };

// A source and, when asked, an old file at the destination, in two folders that lie on
// different file systems for the cross-device move.
struct Scene {
    Scene(Operation operation, bool withOldDestination)
        : to(operation == Operation::MoveAcrossDevices ? kSharedMemory
                                                       : fs::temp_directory_path()),
          hadDestination(withOldDestination) {
        WriteFile(source, kNew);
        if (hadDestination) {
            WriteFile(destination, kOld);
        }
    }

    TransferResult Run(Operation operation, const FileTransfer& transfer) const {
        const Overwrite overwrite = hadDestination ? Overwrite::Confirmed : Overwrite::Refuse;
        return operation == Operation::Copy ? transfer.Copy(source, destination, overwrite)
                                            : transfer.Move(source, destination, overwrite);
    }

    TempDir from;
    TempDir to;
    bool hadDestination;
    fs::path source = from / "a.jpg";
    fs::path destination = to / "a.jpg";
};

// Whatever the result, no byte is lost: a success did all of its work, a failure none that
// matters, and no temporary file stays behind.
void ExpectNothingLost(Operation operation, const Scene& scene, const TransferResult& result) {
    const bool moved = result.Succeeded() && operation != Operation::Copy;
    if (moved) {
        EXPECT_FALSE(fs::exists(scene.source));
    } else {
        EXPECT_EQ(ReadFile(scene.source), kNew);
    }
    if (result.Succeeded()) {
        EXPECT_EQ(ReadFile(scene.destination), kNew);
    } else if (!scene.hadDestination) {
        EXPECT_FALSE(fs::exists(scene.destination));
    } else if (operation == Operation::Copy) {
        EXPECT_EQ(ReadFile(scene.destination), kOld);
    } else {
        // The move replaced the old file and then could not remove the source: both whole.
        const std::string bytes = ReadFile(scene.destination);
        EXPECT_TRUE(bytes == kOld || bytes == kNew) << bytes.size();
    }
    EXPECT_FALSE(HasTemporaryFile(scene.to.Path()));
}

int CallsOfCleanRun(Operation operation, bool withOldDestination) {
    const Scene scene(operation, withOldDestination);
    FaultySystemCalls faulty;
    EXPECT_TRUE(scene.Run(operation, FileTransfer(faulty.Calls())).Succeeded());
    return faulty.count;
}

TEST(FileTransferFaultTest, AFailureAtAnyStepLosesNothing) {
    const int errors[] = {ENOSPC, EXDEV, EACCES, EROFS, EIO, EINVAL};
    for (const Operation operation :
         {Operation::Copy, Operation::Move, Operation::MoveAcrossDevices}) {
        if (operation == Operation::MoveAcrossDevices && !CrossDeviceAvailable()) {
            continue;
        }
        for (const bool withOldDestination : {false, true}) {
            const int steps = CallsOfCleanRun(operation, withOldDestination);
            for (const int error : errors) {
                for (int step = 1; step <= steps; ++step) {
                    SCOPED_TRACE(testing::Message()
                                 << "operation " << int(operation) << ", old destination "
                                 << withOldDestination << ", call " << step << " fails with "
                                 << error);
                    const Scene scene(operation, withOldDestination);
                    FaultySystemCalls faulty;
                    faulty.failAt = step;
                    faulty.error = error;
                    ExpectNothingLost(operation, scene,
                                      scene.Run(operation, FileTransfer(faulty.Calls())));
                }
            }
        }
    }
}

TEST(FileTransferFaultTest, ACancelledCopyOrMoveLeavesEverythingAsItWas) {
    for (const Operation operation : {Operation::Copy, Operation::MoveAcrossDevices}) {
        if (operation == Operation::MoveAcrossDevices && !CrossDeviceAvailable()) {
            continue;
        }
        for (const bool withOldDestination : {false, true}) {
            const Scene scene(operation, withOldDestination);
            // The user cancels while the data are on their way.
            std::atomic<bool> cancel{false};
            SystemCalls calls = SystemCalls::Libc();
            calls.sendfile = [&cancel, real = calls.sendfile](int out, int in, std::size_t size) {
                cancel = true;
                return real(out, in, size);
            };
            FileTransfer transfer(calls);
            transfer.CancelWhen(&cancel);
            const TransferResult result = scene.Run(operation, transfer);
            EXPECT_EQ(result.status, TransferStatus::Cancelled);
            ExpectNothingLost(operation, scene, result);
        }
    }
}

TEST(FileTransferFaultTest, ShortWritesAndInterruptedCallsStillCopyEveryByte) {
    TempDir dir;
    std::string content(3 * 1024 * 1024 + 17, '\0');
    for (std::size_t i = 0; i < content.size(); ++i) {
        content[i] = char(i * 7 % 251);
    }
    WriteFile(dir / "big.png", content);
    // Calls 1 and 2 open the two files; from 3 on the content is copied, 100,000 bytes a call.
    for (int step = 3; step <= 8; ++step) {
        FaultySystemCalls faulty;
        faulty.maxWrite = 100000;
        faulty.failAt = step;
        faulty.error = EINTR;
        const FileTransfer transfer(faulty.Calls());
        ASSERT_TRUE(
            transfer.Copy(dir / "big.png", dir / "copy.png", Overwrite::Confirmed).Succeeded());
        EXPECT_EQ(ReadFile(dir / "copy.png"), content) << step;
    }
}

TEST(FileTransferTest, ProgressIsReportedOnTheWayAndAtTheEnd) {
    TempDir dir;
    const std::uint64_t size = 20 * 1024 * 1024;
    WriteFile(dir / "big.jpg", std::string(size, 'x'));
    FileTransfer transfer;
    std::vector<std::uint64_t> done;
    transfer.OnProgress([&](std::uint64_t bytes, std::uint64_t total) {
        EXPECT_EQ(total, size);
        done.push_back(bytes);
    });
    ASSERT_TRUE(transfer.Copy(dir / "big.jpg", dir / "copy.jpg", Overwrite::Refuse).Succeeded());
    ASSERT_GE(done.size(), 3u);
    EXPECT_TRUE(std::is_sorted(done.begin(), done.end()));
    EXPECT_EQ(done.back(), size);
}

TEST(FileTransferTest, CopyAndCrossDeviceMoveKeepTimeAndPermissionsButNoSetUserBit) {
    for (const Operation operation : {Operation::Copy, Operation::MoveAcrossDevices}) {
        if (operation == Operation::MoveAcrossDevices && !CrossDeviceAvailable()) {
            continue;
        }
        const Scene scene(operation, false);
        ::chmod(scene.source.c_str(), 04750);
        const struct timespec times[2] = {{1000000000, 0}, {1234567890, 123456789}};
        ::utimensat(AT_FDCWD, scene.source.c_str(), times, 0);
        ASSERT_TRUE(scene.Run(operation, FileTransfer()).Succeeded());
        const struct stat result = StatusOf(scene.destination);
        EXPECT_EQ(result.st_mode & 07777, 0750u);
        EXPECT_EQ(result.st_mtim.tv_sec, 1234567890);
        EXPECT_EQ(result.st_mtim.tv_nsec, 123456789);
        EXPECT_EQ(ReadFile(scene.destination), kNew);
    }
}

TEST(FileTransferTest, AnExistingFileIsReplacedOnlyWhenConfirmedAndWritable) {
    struct Case {
        const char* what;
        Overwrite overwrite;
        mode_t destinationMode; // 0: a folder stands there
        TransferStatus expected;
    };
    const Case cases[] = {
        {"not confirmed", Overwrite::Refuse, 0644, TransferStatus::Exists},
        {"write-protected", Overwrite::Confirmed, 0444, TransferStatus::Permission},
        {"a folder", Overwrite::Confirmed, 0, TransferStatus::Other},
        {"confirmed", Overwrite::Confirmed, 0644, TransferStatus::Ok},
    };
    for (const Case& c : cases) {
        for (const bool move : {false, true}) {
            SCOPED_TRACE(testing::Message() << c.what << (move ? ", move" : ", copy"));
            TempDir dir;
            WriteFile(dir / "a.jpg", kNew);
            fs::create_directory(dir / "to");
            const fs::path destination = dir / "to" / "a.jpg";
            if (c.destinationMode == 0) {
                fs::create_directory(destination);
            } else {
                WriteFile(destination, kOld);
                ::chmod(destination.c_str(), c.destinationMode);
            }
            const FileTransfer transfer;
            const auto result = move ? transfer.Move(dir / "a.jpg", destination, c.overwrite)
                                     : transfer.Copy(dir / "a.jpg", destination, c.overwrite);
            EXPECT_EQ(result.status, c.expected);
            if (c.destinationMode == 0) {
                EXPECT_TRUE(fs::is_directory(destination));
            } else {
                EXPECT_EQ(ReadFile(destination), result.Succeeded() ? kNew : kOld);
            }
            EXPECT_EQ(fs::exists(dir / "a.jpg"), !(move && result.Succeeded()));
        }
    }
}

TEST(FileTransferTest, AFileAppearingAtTheLastMomentIsNeverReplaced) {
    for (const bool move : {false, true}) {
        TempDir dir;
        WriteFile(dir / "a.jpg", kNew);
        fs::create_directory(dir / "to");
        FaultySystemCalls faulty;
        faulty.beforeNoReplaceRename = [&] { WriteFile(dir / "to" / "a.jpg", kOld); };
        const FileTransfer transfer(faulty.Calls());
        const auto result = move ? transfer.Move(dir / "a.jpg", dir / "to" / "a.jpg", Overwrite::Refuse)
                                 : transfer.Copy(dir / "a.jpg", dir / "to" / "a.jpg", Overwrite::Refuse);
        EXPECT_EQ(result.status, TransferStatus::Exists) << move;
        EXPECT_EQ(ReadFile(dir / "to" / "a.jpg"), kOld);
        EXPECT_EQ(ReadFile(dir / "a.jpg"), kNew);
        EXPECT_FALSE(HasTemporaryFile(dir / "to"));
    }
}

TEST(FileTransferTest, TheSameFileReachedByAnotherNameIsDetectedAndKept) {
    TempDir dir;
    fs::create_directory(dir / "D");
    WriteFile(dir / "D" / "a.jpg", kNew);
    fs::create_directory_symlink(dir / "D", dir / "link-to-D");
    fs::create_hard_link(dir / "D" / "a.jpg", dir / "hard.jpg");
    fs::create_symlink(dir / "D" / "a.jpg", dir / "soft.jpg");
    for (const fs::path& folder : {dir / "D/", dir / "D/.", dir / "link-to-D"}) {
        EXPECT_TRUE(FileTransfer::IsSameFile(folder, dir / "D")) << folder;
    }
    EXPECT_FALSE(FileTransfer::IsSameFile(dir / "D", dir.Path()));
    const FileTransfer transfer;
    for (const fs::path& other :
         {dir / "D/./a.jpg", dir / "link-to-D" / "a.jpg", dir / "hard.jpg", dir / "soft.jpg"}) {
        EXPECT_EQ(transfer.Move(dir / "D" / "a.jpg", other, Overwrite::Confirmed).status,
                  TransferStatus::SameFile)
            << other;
        EXPECT_EQ(transfer.Copy(dir / "D" / "a.jpg", other, Overwrite::Confirmed).status,
                  TransferStatus::SameFile)
            << other;
        EXPECT_EQ(ReadFile(dir / "D" / "a.jpg"), kNew);
    }
}

TEST(FileTransferTest, JapaneseAndShiftJisNamesTravelByteExact) {
    const std::string names[] = {"表.jpg", "\x95\x5c.jpg", std::string(250, 'n') + ".jpg"};
    for (const std::string& name : names) {
        TempDir dir;
        fs::create_directory(dir / "to");
        WriteFile(dir / name, kNew);
        const FileTransfer transfer;
        ASSERT_TRUE(transfer.Copy(dir / name, dir / "to" / name, Overwrite::Refuse).Succeeded());
        ASSERT_TRUE(transfer.Remove(dir / "to" / name).Succeeded());
        ASSERT_TRUE(transfer.Move(dir / name, dir / "to" / name, Overwrite::Refuse).Succeeded());
        ASSERT_TRUE(transfer.Move(dir / "to" / name, dir / name, Overwrite::Refuse).Succeeded());
        EXPECT_EQ(ReadFile(dir / name), kNew);
        EXPECT_EQ(std::distance(fs::directory_iterator(dir / "to"), {}), 0);
    }
}

// A pipe or a folder put where the image was is never opened for reading (a pipe would hold
// the window for ever) nor moved.
TEST(FileTransferTest, OnlyRegularFilesTravel) {
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "pipe.jpg").c_str(), 0600), 0);
    fs::create_directory(dir / "folder.jpg");
    fs::create_directory(dir / "to");
    const FileTransfer transfer;
    for (const char* name : {"pipe.jpg", "folder.jpg"}) {
        EXPECT_EQ(transfer.Copy(dir / name, dir / "to" / name, Overwrite::Refuse).status,
                  TransferStatus::NotAFile);
        EXPECT_EQ(transfer.Move(dir / name, dir / "to" / name, Overwrite::Refuse).status,
                  TransferStatus::NotAFile);
    }
    EXPECT_TRUE(fs::is_empty(dir / "to"));
}

TEST(FileTransferTest, AVanishedSourceIsToldApart) {
    TempDir dir;
    WriteFile(dir / "b.jpg", kOld);
    const FileTransfer transfer;
    EXPECT_EQ(transfer.Copy(dir / "gone.jpg", dir / "b.jpg", Overwrite::Confirmed).status,
              TransferStatus::VanishedSource);
    EXPECT_EQ(transfer.Move(dir / "gone.jpg", dir / "b.jpg", Overwrite::Confirmed).status,
              TransferStatus::VanishedSource);
    EXPECT_EQ(transfer.Remove(dir / "gone.jpg").status, TransferStatus::VanishedSource);
    EXPECT_EQ(ReadFile(dir / "b.jpg"), kOld);
}

} // namespace
} // namespace pirela
