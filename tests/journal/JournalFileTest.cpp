#include "journal/JournalFile.h"
#include "journal/JournalOwner.h"
#include "support/FaultySystemCalls.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <zlib.h>

#include <cstdio>
#include <fstream>
#include <set>

namespace pirela {
namespace {

JournalRecord Record(std::string operation, std::string_view type, std::int64_t time = 100) {
    JournalRecord record;
    record.operation = std::move(operation);
    record.type = std::string(type);
    record.time = time;
    return record;
}

void AppendRaw(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary | std::ios::app) << bytes;
}

class JournalFileTest : public ::testing::Test {
protected:
    test::TempDir dir_;
    const std::filesystem::path file_ = dir_ / "state" / "journal";
};

TEST(JournalRecordTest, AnyBytesComeBackAndNoCutOrChangedLineIsTaken) {
    JournalRecord record = Record("00ff00ff00ff00ff", "begin", 1765180000);
    record.Add("from", "/photos/50% off=\n\t \x95\x5c.jpg")
        .Add("to", "")
        .Add("size", "6291456")
        .Add("to", "/second value/of the same key");
    const std::string line = EncodeJournalRecord(record);
    ASSERT_EQ(line.find('\n'), line.size() - 1) << "one line, whatever the paths hold";
    const std::string_view body(line.data(), line.size() - 1);
    EXPECT_EQ(DecodeJournalRecord(body), record);
    EXPECT_EQ(record.Field("to"), "");
    EXPECT_EQ(PeekJournalRecord(body), std::pair(std::string_view("00ff00ff00ff00ff"),
                                                 std::string_view("begin")));
    for (std::size_t length = 0; length < body.size(); ++length) {
        EXPECT_FALSE(DecodeJournalRecord(body.substr(0, length))) << "cut at " << length;
    }
    for (std::size_t at = 0; at < body.size(); ++at) {
        std::string changed(body);
        changed[at] = changed[at] == 'x' ? 'y' : 'x';
        EXPECT_FALSE(DecodeJournalRecord(changed)) << "changed at " << at;
    }
}

// A line with its body and a right check sum written as `format` spells it.
std::string Summed(const std::string& body, const char* format = "%08x") {
    char sum[9];
    std::snprintf(sum, sizeof sum, format,
                  static_cast<unsigned>(::crc32(0, reinterpret_cast<const Bytef*>(body.data()),
                                                static_cast<uInt>(body.size()))));
    return "P1 " + std::string(sum) + ' ' + body;
}

TEST(JournalRecordTest, OnlyTheEncodersOwnSpellingIsTakenEvenWithARightCheckSum) {
    ASSERT_TRUE(DecodeJournalRecord(Summed("00ff00ff00ff00ff end 100 outcome=done")));
    for (const std::string& line : {
             Summed("00ff00ff00ff00ff end 100 outcome=done", "%08X"),
             Summed("00ff00ff00ff00ff end 0100 outcome=done"),
             Summed("00ff00ff00ff00ff end -0 outcome=done"),
             Summed("00ff00ff00ff00ff end 100 outcome=done "),
             Summed("00ff00ff00ff00ff end 100 "),
             Summed("00ff00ff00ff00ff end 100  outcome=done"),
             Summed("00ff00ff00ff00ff end 100 from=%2A"),
             Summed("00ff00ff00ff00ff end 100 from=%0A"),
         }) {
        EXPECT_FALSE(DecodeJournalRecord(line)) << line;
    }
}

TEST_F(JournalFileTest, ACutOffOrDamagedRecordIsLeftOutAndTheNextAppendStandsApart) {
    ASSERT_TRUE(JournalFile(file_).Append({Record("a", "begin"), Record("a", "end")}));
    AppendRaw(file_, "P1 0000 garbage in the middle\n");
    const std::string whole = EncodeJournalRecord(Record("b", "begin"));
    AppendRaw(file_, whole.substr(0, whole.size() / 2)); // a crash in the middle of a write

    JournalFile journal(file_);
    ASSERT_TRUE(journal.Append(Record("c", "begin")));
    const std::vector<JournalRecord> records = journal.ReadAll();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[2], Record("c", "begin"));
    const JournalScan scan = journal.Scan();
    EXPECT_EQ(scan.operations, 2u);
    ASSERT_EQ(scan.unfinished.size(), 1u);
    EXPECT_EQ(scan.unfinished[0].operation, "c");
}

TEST_F(JournalFileTest, AFailedWriteIsReportedAndLeavesTheJournalReadable) {
    test::FaultySystemCalls calls;
    JournalFile journal(file_, calls.Calls());
    ASSERT_TRUE(journal.Append(Record("a", "begin")));
    calls.maxWrite = 10; // the disk fills in the middle of the record
    calls.failAt = calls.count + 2;
    calls.error = ENOSPC;
    EXPECT_FALSE(journal.Append(Record("b", "begin")));
    calls.maxWrite = 0;
    ASSERT_TRUE(journal.Append(Record("c", "begin")));
    const std::vector<JournalRecord> records = journal.ReadAll();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].operation, "c");
}

TEST_F(JournalFileTest, CompactionKeepsOpenLatestAndRecentOperationsAndLosesNoLaterAppend) {
    JournalFile journal(file_);
    JournalFile other(file_); // another instance, holding the file open
    ASSERT_TRUE(other.Append(Record("open-old", "begin", 10)));
    for (int i = 0; i < 20; ++i) {
        const std::string id = "done-" + std::to_string(i);
        const std::int64_t time = i < 15 ? 1000 + i : 5000 + i; // five recent ones
        ASSERT_TRUE(journal.Append({Record(id, "begin", time), Record(id, "end", time)}));
    }
    ASSERT_TRUE(journal.Compact(6000, JournalKeep{3, 1000, 4}));
    ASSERT_TRUE(other.Append(Record("after", "begin", 6001)));

    std::set<std::string> kept;
    for (const JournalRecord& record : journal.ReadAll()) {
        kept.insert(record.operation);
    }
    // Open ones stay; of the ended, the latest three, and the recent ones up to four in all.
    EXPECT_EQ(kept, (std::set<std::string>{"open-old", "done-16", "done-17", "done-18",
                                           "done-19", "after"}));
    EXPECT_FALSE(std::filesystem::exists(file_.string() + ".new"));
}

TEST_F(JournalFileTest, AppendsOfSeveralProcessesNeverInterleave) {
    constexpr int kProcesses = 4;
    constexpr int kRecords = 150;
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        const pid_t child = ::fork();
        if (child == 0) {
            JournalFile journal(file_);
            JournalRecord record = Record("p" + std::to_string(p), "step");
            record.Add("padding", std::string(3000, 'x')); // longer than a pipe's atomic write
            bool ok = true;
            for (int i = 0; i < kRecords; ++i) {
                ok = journal.Append(record) && ok;
            }
            ::_exit(ok ? 0 : 1);
        }
        children.push_back(child);
    }
    for (const pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(JournalFile(file_).ReadAll().size(), std::size_t{kProcesses * kRecords});
}

TEST_F(JournalFileTest, AnOwnerIsAliveExactlyAsLongAsItsProcess) {
    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        JournalOwner owner(dir_.Path());
        (void)!::write(pipe[1], owner.Token().data(), owner.Token().size());
        ::pause();
        ::_exit(0);
    }
    char token[17] = {};
    ASSERT_EQ(::read(pipe[0], token, 16), 16);
    EXPECT_TRUE(JournalOwner::IsAlive(dir_.Path(), token));
    ::kill(child, SIGKILL); // as a crash would
    ::waitpid(child, nullptr, 0);
    EXPECT_FALSE(JournalOwner::IsAlive(dir_.Path(), token));
    EXPECT_FALSE(JournalOwner::IsAlive(dir_.Path(), "../../etc/passwd"));
    {
        const JournalOwner self(dir_.Path());
        ASSERT_FALSE(self.Token().empty());
        EXPECT_TRUE(JournalOwner::IsAlive(dir_.Path(), self.Token()));
    }
    ::close(pipe[0]);
    ::close(pipe[1]);
}

} // namespace
} // namespace pirela
