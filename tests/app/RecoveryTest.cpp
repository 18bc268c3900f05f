// Recovery against what the user and other instances do meanwhile: a copy edited after the
// crash, an empty file of the user's own under a name an operation was to give, a second
// instance while the first recovers on a slow disk, and a user who will not wait for the journal.
#include "app/OperationTexts.h"
#include "app/Recovery.h"
#include "journal/JournalLocation.h"
#include "journal/OperationLog.h"
#include "res/JournalMessages.h"
#include "send/SendOperation.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <fstream>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

namespace pirela {
namespace {

namespace fs = std::filesystem;

const std::string kPhoto(5000, 'p');

struct Home {
    Home() {
        test::SandboxDesktopHome(dir);
        fs::create_directories(pics);
        fs::create_directories(sorted);
        test::WriteFile(pics / "a.jpg", kPhoto);
    }
    test::TempDir dir;
    fs::path pics = dir / "pics";
    fs::path sorted = dir / "sorted";
    fs::path state = dir / "state";
};

// The begin of an operation whose instance died before it touched anything: its owner's mark is
// there, and nobody holds it.
FileOperation BeginOfTheDead(const fs::path& state, FileOperation operation) {
    operation.id = NewJournalOperationId();
    operation.owner = NewJournalOperationId();
    fs::create_directories(state / "owners");
    test::WriteFile(state / "owners" / operation.owner, "");
    EXPECT_TRUE(JournalFile(JournalFileIn(state)).Append(BeginRecord(operation)));
    return operation;
}

FileOperation OneFile(std::string_view kind, const fs::path& from, const fs::path& to) {
    FileOperation operation;
    operation.kind = kind;
    operation.files.push_back({from.string(), to.string(), FileIdentity::Of(from)});
    return operation;
}

bool CrossDeviceAvailable() {
    struct stat a {};
    struct stat b {};
    return ::stat(fs::temp_directory_path().c_str(), &a) == 0 && ::stat("/dev/shm", &b) == 0 &&
           a.st_dev != b.st_dev;
}

// A move to another disk killed once its copy was placed, before its source went; then the user
// edits the copy in place (the same inode), or saves another file under its name.
TEST(RecoveryTest, ACopyChangedAfterTheCrashStaysWithItsSourceAndTheMessageSaysSo) {
    if (!CrossDeviceAvailable()) {
        GTEST_SKIP() << "needs /dev/shm on a disk of its own";
    }
    for (const bool replaced : {false, true}) {
        SCOPED_TRACE(replaced ? "replaced" : "edited");
        Home home;
        const test::TempDir shm(fs::path("/dev/shm"));
        const fs::path photo = home.pics / "a.jpg";
        const fs::path copy = shm / "a.jpg";
        SystemCalls calls = SystemCalls::Libc();
        calls.unlink = [&photo](const char* path) {
            if (photo == path) {
                ::_exit(42);
            }
            return ::unlink(path);
        };
        ASSERT_EQ(test::ExitCodeInChild([&] {
                      OperationLog log(home.state, calls);
                      FileOperation move = OneFile(operation::kMove, photo, copy);
                      SendOperation(log, calls).Run(move, Overwrite::Refuse);
                      return 0;
                  }),
                  42);
        if (replaced) {
            fs::remove(copy);
            test::WriteFile(copy, "another photo");
        } else {
            std::ofstream(copy, std::ios::app) << "Artist=x";
        }
        const std::string users = test::ReadFile(copy);

        OperationLog log(home.state);
        const std::string message = RecoveryMessage(Recovery(log).Run());
        EXPECT_EQ(test::ReadFile(copy), users);
        EXPECT_EQ(test::ReadFile(photo), kPhoto);
        EXPECT_NE(message.find(res::MoveDescription(photo.string(), copy.string())),
                  std::string::npos);
        EXPECT_NE(message.find(res::LeftInDoubtLine(copy.string())), std::string::npos) << message;
    }
}

// Nothing was touched yet; the empty files are the user's, made under the names the operations
// were to give.
TEST(RecoveryTest, AnEmptyFileOfTheUsersIsNoClaim) {
    Home home;
    test::WriteFile(home.pics / "b.jpg", "photo b");
    BeginOfTheDead(home.state, OneFile(operation::kMove, home.pics / "a.jpg", home.sorted / "a.jpg"));
    FileOperation rename = OneFile(operation::kRename, home.pics / "b.jpg", home.pics / "image_1.jpg");
    rename.folder = home.pics.string();
    BeginOfTheDead(home.state, rename);
    test::WriteFile(home.sorted / "a.jpg", "");
    test::WriteFile(home.pics / "image_1.jpg", "");

    OperationLog log(home.state);
    EXPECT_EQ(Recovery(log).Run().size(), 2u);
    for (const fs::path& file : {home.sorted / "a.jpg", home.pics / "image_1.jpg",
                                 home.pics / "a.jpg", home.pics / "b.jpg"}) {
        EXPECT_TRUE(fs::exists(file)) << file;
    }
}

// The first instance recovers a copy whose temporary it must compare with the photo and flush,
// on a disk that stops answering in the flush; the second records its own operation meanwhile.
TEST(RecoveryTest, AnotherInstanceNeverWaitsForARecoveryOnASlowDisk) {
    Home home;
    const FileOperation copy =
        BeginOfTheDead(home.state, OneFile(operation::kCopy, home.pics / "a.jpg", home.sorted / "a.jpg"));
    test::WriteFile(home.sorted / TemporaryNameFor(copy.id, 0), kPhoto);

    std::mutex mutex;
    std::condition_variable changed;
    bool held = true;
    bool holding = false;
    bool done = false;
    SystemCalls slow = SystemCalls::Libc();
    slow.fsync = [&](int fd) {
        std::unique_lock lock(mutex);
        holding = true;
        changed.notify_all();
        changed.wait(lock, [&] { return !held; });
        return ::fsync(fd);
    };
    std::thread first([&] {
        OperationLog log(home.state);
        Recovery(log, slow).Run();
    });
    {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, std::chrono::seconds(20), [&] { return holding; }));
    }
    // A wait for the lock is given up after a while, so that a lock held across the flush fails
    // the test rather than holding it.
    std::atomic<bool> giveUp{false};
    std::thread watchdog([&] {
        std::unique_lock lock(mutex);
        changed.wait_for(lock, std::chrono::seconds(10), [&] { return done; });
        giveUp = true;
    });
    OperationLog second(home.state);
    FileOperation other = OneFile(operation::kCopy, home.pics / "a.jpg", home.sorted / "b.jpg");
    EXPECT_TRUE(second.Begin(other, &giveUp));
    {
        const std::lock_guard lock(mutex);
        held = false;
        done = true;
    }
    changed.notify_all();
    first.join();
    watchdog.join();
    EXPECT_EQ(test::ReadFile(home.sorted / "a.jpg"), kPhoto); // the first finished its recovery
}

// Another instance holds the journal (say, an older version recovering a slow stick): the
// user's キャンセル ends the wait, and nothing is done.
TEST(RecoveryTest, WaitingForTheJournalEndsWithTheUsersCancel) {
    Home home;
    const JournalFile other(JournalFileIn(home.state));
    const JournalFile::Lock held(other);
    ASSERT_TRUE(held.Held());
    // In a child that an alarm ends, so that a wait that cannot be cancelled fails the test.
    const int code = test::ExitCodeInChild([&] {
        ::alarm(20);
        std::atomic<bool> cancel{true};
        OperationLog log(home.state);
        SendOperation send(log);
        send.CancelWhen(&cancel);
        FileOperation copy = OneFile(operation::kCopy, home.pics / "a.jpg", home.sorted / "a.jpg");
        const bool sendCancelled = send.Run(copy, Overwrite::Refuse).status == TransferStatus::Cancelled;
        Recovery recovery(log);
        recovery.Run(false, &cancel);
        return sendCancelled && recovery.Cancelled() && !fs::exists(home.sorted / "a.jpg") ? 0 : 1;
    });
    EXPECT_EQ(code, 0);
}

} // namespace
} // namespace pirela
