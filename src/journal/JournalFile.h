#pragma once

#include "journal/JournalRecord.h"
#include "platform/SystemCalls.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace pirela {

// What a scan of the journal found: the records of the operations begun and not yet ended, in
// the order written, and how many operations the journal holds.
struct JournalScan {
    std::vector<JournalRecord> unfinished;
    std::size_t operations = 0;
    std::int64_t oldest = 0; // the time of the first whole record, 0 without one
};

// Which operations a compaction keeps besides the unfinished ones, which always stay: the
// latest `latest`, and those begun within `recentSeconds` of now, but never more than `most`.
struct JournalKeep {
    std::size_t latest = 1000;
    std::int64_t recentSeconds = 30LL * 24 * 60 * 60;
    std::size_t most = 10000;
};

// The journal of file operations: an append-only file of records, each flushed to the disk
// before the step it announces is taken. Every running instance of the program appends to the
// same file; appends and compaction hold a lock file beside it (flock), so that records never
// interleave and a compaction never loses an append. A record cut off by a crash (or damaged
// later) is left out when reading and never stops the rest from being read; the next append
// starts on a line of its own.
//
// The journal's own writes go through the system calls given, like the operations' writes, so
// that a test can stop the program at any of them.
class JournalFile {
public:
    explicit JournalFile(std::filesystem::path file, const SystemCalls& calls = SystemCalls::Libc());
    ~JournalFile();
    JournalFile(const JournalFile&) = delete;
    JournalFile& operator=(const JournalFile&) = delete;

    const std::filesystem::path& Path() const { return file_; }

    // Appends the records in one write and flushes them to the disk; false when they could not
    // be written whole (the step they announce must then not be taken). Makes the journal's
    // folder when it is missing. While another instance holds the lock it waits, until the flag
    // given (if any) is set: then false, and nothing is written.
    bool Append(const std::vector<JournalRecord>& records,
                const std::atomic<bool>* cancel = nullptr);
    bool Append(const JournalRecord& record, const std::atomic<bool>* cancel = nullptr) {
        return Append(std::vector{record}, cancel);
    }

    // Every whole record, in the order written.
    std::vector<JournalRecord> ReadAll() const;
    // Decodes only the records of operations still open: fast on a long journal.
    JournalScan Scan() const;
    // The journal's bytes as they are now, whole records and any cut off.
    std::string ReadBytes() const;

    // Rewrites the journal without the ended operations that `keep` lets go (the file is
    // replaced in one step); false, with the journal unchanged, when that fails.
    bool Compact(std::int64_t now, const JournalKeep& keep = {});

    // Holds the journal's lock for as long as it lives, across appends, for whoever reads,
    // decides and appends as one step (another instance's recovery, say). Appends made while
    // it is held take no lock of their own. No one holds it across the contents of files, so
    // waiting for it is short; the wait ends unheld when the flag given is set.
    class Lock {
    public:
        explicit Lock(const JournalFile& journal, const std::atomic<bool>* cancel = nullptr);
        ~Lock();
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;
        // False when the lock file could not be made (a journal that cannot be written).
        bool Held() const { return held_; }

    private:
        const JournalFile& journal_;
        bool held_ = false;
    };

private:
    bool Acquire(const std::atomic<bool>* cancel) const;
    void Release() const;
    // The journal open for appending, reopened when a compaction replaced the file.
    bool OpenForAppend();
    bool WriteAll(int fd, const std::string& bytes) const;
    bool EndsInNewline() const;

    std::filesystem::path file_;
    const SystemCalls& calls_;
    int fd_ = -1;
    mutable int lockFd_ = -1;
    mutable int lockDepth_ = 0;
};

} // namespace pirela
