// The trash kept by the core: where files go, what their records say, and that a trash that
// fails at any step leaves the file where it was with no record behind.
#include "trash/Trash.h"

#include "support/FaultySystemCalls.h"
#include "support/TempDir.h"
#include "trash/TrashInfo.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace pirela {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

std::size_t EntriesIn(const fs::path& folder) {
    return fs::exists(folder) ? std::distance(fs::directory_iterator(folder), {}) : 0;
}

class TrashTest : public ::testing::Test {
protected:
    TrashTest() { test::SandboxDesktopHome(home_); }

    fs::path Files() const { return home_ / "data" / "Trash" / "files"; }
    fs::path Info() const { return home_ / "data" / "Trash" / "info"; }

    TempDir home_;
};

TEST_F(TrashTest, TheRecordEscapesThePathAndGivesTheLocalTime) {
    ::setenv("TZ", "JST-9", 1);
    ::tzset();
    EXPECT_EQ(TrashInfoText("/p/50% off é.jpg", 0),
              "[Trash Info]\nPath=/p/50%25%20off%20%C3%A9.jpg\nDeletionDate=1970-01-01T09:00:00\n");
    ::unsetenv("TZ");
    ::tzset();
    EXPECT_EQ(EscapeUriPath("a-z_A.Z~0/9\x95\x5c#?"), "a-z_A.Z~0/9%95%5C%23%3F");

    WriteFile(home_ / "50% off.jpg", "photo");
    const TrashResult put = Trash().Put((home_ / "50% off.jpg").string());
    ASSERT_TRUE(put.Succeeded());
    EXPECT_EQ(put.file.trashedPath, (Files() / "50% off.jpg").string());
    EXPECT_EQ(put.file.infoPath, (Info() / "50% off.jpg.trashinfo").string());
    const std::string record = ReadFile(put.file.infoPath);
    EXPECT_NE(record.find("\nPath=" + home_.Path().string() + "/50%25%20off.jpg\n"),
              std::string::npos)
        << record;
}

// A name that is not UTF-8 goes by its bytes: a file whose name looks like its decoding (the
// replacement character, then the backslash) stays where it is.
TEST_F(TrashTest, AShiftJisNameIsTrashedByItsBytesAndItsLookAlikeStays) {
    const std::string sjis = "\x95\x5c.jpg";
    const std::string lookAlike = "\xEF\xBF\xBD\x5c.jpg";
    WriteFile(home_ / sjis, "sjis");
    WriteFile(home_ / lookAlike, "look-alike");
    const TrashResult put = Trash().Put((home_ / sjis).string());
    ASSERT_TRUE(put.Succeeded());
    EXPECT_EQ(ReadFile(Files() / sjis), "sjis");
    EXPECT_EQ(ReadFile(home_ / lookAlike), "look-alike");
    EXPECT_NE(ReadFile(put.file.infoPath).find("/%95%5C.jpg\n"), std::string::npos);
}

TEST_F(TrashTest, NamesNeverMeetAndLongNamesAreCut) {
    const std::string longName = std::string(250, 'n') + ".jpeg";
    fs::create_directories(Files());
    WriteFile(Files() / "a.2.jpg", "left without a record");
    const std::string names[] = {"a.jpg", "a.jpg", "a.jpg", longName};
    const char* expected[] = {"a.jpg", "a.3.jpg", "a.4.jpg", nullptr}; // a.2 is taken
    for (int i = 0; i < 4; ++i) {
        WriteFile(home_ / names[i], std::to_string(i));
        const TrashResult put = Trash().Put((home_ / names[i]).string());
        ASSERT_TRUE(put.Succeeded()) << i;
        const std::string name = fs::path(put.file.trashedPath).filename().string();
        if (expected[i] != nullptr) {
            EXPECT_EQ(name, expected[i]);
        } else {
            EXPECT_LE(name.size() + kTrashInfoSuffix.size(), 255u);
            EXPECT_TRUE(name.ends_with(".jpeg"));
        }
        EXPECT_EQ(ReadFile(put.file.trashedPath), std::to_string(i));
        EXPECT_TRUE(fs::exists(put.file.infoPath));
    }
    EXPECT_EQ(ReadFile(Files() / "a.2.jpg"), "left without a record");
}

TEST_F(TrashTest, OnlyRegularFilesGoAndARefusingTrashKeepsTheFile) {
    ::mkfifo((home_ / "pipe.jpg").c_str(), 0600);
    fs::create_directory(home_ / "folder.jpg");
    EXPECT_EQ(Trash().Put((home_ / "pipe.jpg").string()).result.status, TransferStatus::NotAFile);
    EXPECT_EQ(Trash().Put((home_ / "folder.jpg").string()).result.status, TransferStatus::NotAFile);
    EXPECT_EQ(Trash().Put((home_ / "gone.jpg").string()).result.status,
              TransferStatus::VanishedSource);

    WriteFile(home_ / "a.jpg", "photo");
    WriteFile(home_ / "blocked", "");
    EXPECT_FALSE(Trash(SystemCalls::Libc(), (home_ / "blocked" / "Trash").string())
                     .Put((home_ / "a.jpg").string())
                     .Succeeded());
    EXPECT_EQ(ReadFile(home_ / "a.jpg"), "photo");
}

TEST_F(TrashTest, AFailureAtAnyStepLeavesTheFileAndNoRecord) {
    WriteFile(home_ / "a.jpg", "photo");
    test::FaultySystemCalls clean;
    ASSERT_TRUE(Trash(clean.Calls()).Put((home_ / "a.jpg").string()).Succeeded());
    fs::remove_all(home_ / "data");
    for (int step = 1; step <= clean.count; ++step) {
        SCOPED_TRACE(step);
        WriteFile(home_ / "a.jpg", "photo");
        test::FaultySystemCalls faulty;
        faulty.failAt = step;
        faulty.error = EIO;
        const bool put = Trash(faulty.Calls()).Put((home_ / "a.jpg").string()).Succeeded();
        EXPECT_EQ(fs::exists(home_ / "a.jpg"), !put);
        EXPECT_EQ(EntriesIn(Files()), put ? 1u : 0u);
        EXPECT_EQ(EntriesIn(Info()), put ? 1u : 0u);
        fs::remove_all(home_ / "data");
    }
}

TEST_F(TrashTest, RestoringPutsTheFileBackWithoutReplacingAnything) {
    WriteFile(home_ / "a.jpg", "photo");
    const Trash trash;
    const TrashResult put = trash.Put((home_ / "a.jpg").string());
    ASSERT_TRUE(put.Succeeded());
    WriteFile(home_ / "a.jpg", "a new one");
    EXPECT_EQ(trash.Restore(put.file).status, TransferStatus::Exists);
    EXPECT_EQ(ReadFile(home_ / "a.jpg"), "a new one");
    EXPECT_TRUE(fs::exists(put.file.infoPath));

    fs::remove(home_ / "a.jpg");
    ASSERT_TRUE(trash.Restore(put.file).Succeeded());
    EXPECT_EQ(ReadFile(home_ / "a.jpg"), "photo");
    EXPECT_EQ(EntriesIn(Files()) + EntriesIn(Info()), 0u);
}

} // namespace
} // namespace pirela
