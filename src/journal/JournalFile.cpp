#include "journal/JournalFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace pirela {

namespace {

// Calls fn for each line of the text, the last one also without its newline.
template <class Fn>
void ForEachLine(std::string_view text, Fn fn) {
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        fn(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// One operation as a compaction sees it.
struct Operation {
    bool ended = false;
    std::int64_t begun = 0;
};

} // namespace

JournalFile::JournalFile(std::filesystem::path file, const SystemCalls& calls)
    : file_(std::move(file)), calls_(calls) {}

JournalFile::~JournalFile() {
    // Not through the calls given: they may be gone before the journal (a test's own).
    if (fd_ >= 0) {
        ::close(fd_);
    }
    if (lockFd_ >= 0) {
        ::close(lockFd_);
    }
}

bool JournalFile::Acquire(const std::atomic<bool>* cancel) const {
    if (lockDepth_++ > 0) {
        return true;
    }
    std::error_code error;
    std::filesystem::create_directories(file_.parent_path(), error);
    if (lockFd_ < 0) {
        const std::string lockFile = file_.string() + ".lock";
        lockFd_ = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    }
    // Without a flag to heed, the kernel wakes the waiter; with one, it is looked at every few
    // milliseconds, so that the user's キャンセル is heard while another instance holds the lock.
    const int how = cancel == nullptr ? LOCK_EX : LOCK_EX | LOCK_NB;
    int locked = -1;
    while (lockFd_ >= 0 && (locked = ::flock(lockFd_, how)) != 0) {
        if (errno == EWOULDBLOCK && cancel != nullptr && !cancel->load()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        } else if (errno != EINTR) {
            break;
        }
    }
    if (locked != 0) {
        --lockDepth_;
        return false;
    }
    return true;
}

void JournalFile::Release() const {
    if (--lockDepth_ == 0) {
        ::flock(lockFd_, LOCK_UN);
    }
}

JournalFile::Lock::Lock(const JournalFile& journal, const std::atomic<bool>* cancel)
    : journal_(journal) {
    held_ = journal_.Acquire(cancel);
}

JournalFile::Lock::~Lock() {
    if (held_) {
        journal_.Release();
    }
}

bool JournalFile::OpenForAppend() {
    struct stat onDisk {};
    const bool exists = ::stat(file_.c_str(), &onDisk) == 0;
    struct stat held {};
    if (fd_ >= 0 && exists && ::fstat(fd_, &held) == 0 && SameFile(held, onDisk)) {
        return true;
    }
    if (fd_ >= 0) {
        calls_.close(fd_); // a compaction replaced the file
    }
    // Readable too, to see whether the last record was cut off.
    fd_ = calls_.open(file_.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0) {
        return false;
    }
    if (!exists) {
        // A new journal must be found after a power cut: its name goes to the disk too.
        const int folder = calls_.open(file_.parent_path().c_str(), O_RDONLY | O_DIRECTORY, 0);
        const bool named = folder >= 0 && calls_.fsync(folder) == 0;
        if (folder >= 0) {
            calls_.close(folder);
        }
        return named;
    }
    return true;
}

bool JournalFile::EndsInNewline() const {
    struct stat status {};
    if (::fstat(fd_, &status) != 0) {
        return false;
    }
    char last = '\n';
    return status.st_size == 0 ||
           (::pread(fd_, &last, 1, status.st_size - 1) == 1 && last == '\n');
}

bool JournalFile::WriteAll(int fd, const std::string& bytes) const {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = calls_.write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    return true;
}

bool JournalFile::Append(const std::vector<JournalRecord>& records,
                         const std::atomic<bool>* cancel) {
    std::string bytes;
    for (const JournalRecord& record : records) {
        bytes += EncodeJournalRecord(record);
    }
    const Lock lock(*this, cancel);
    if (!lock.Held() || !OpenForAppend()) {
        return false;
    }
    if (!EndsInNewline()) {
        bytes.insert(bytes.begin(), '\n'); // after a record cut off, a line of its own
    }
    return WriteAll(fd_, bytes) && calls_.fsync(fd_) == 0;
}

std::string JournalFile::ReadBytes() const {
    std::string bytes;
    const int fd = ::open(file_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return bytes;
    }
    struct stat status {};
    // Read straight into place; the file may still grow (another instance appending).
    std::size_t size = 0;
    bytes.resize(::fstat(fd, &status) == 0 ? static_cast<std::size_t>(status.st_size) + 4096
                                           : 1 << 16);
    for (;;) {
        if (size == bytes.size()) {
            bytes.resize(bytes.size() * 2);
        }
        const ssize_t n = ::read(fd, bytes.data() + size, bytes.size() - size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        size += static_cast<std::size_t>(n);
    }
    ::close(fd);
    bytes.resize(size);
    return bytes;
}

std::vector<JournalRecord> JournalFile::ReadAll() const {
    std::vector<JournalRecord> records;
    const std::string bytes = ReadBytes();
    ForEachLine(bytes, [&records](std::string_view line) {
        if (auto record = DecodeJournalRecord(line)) {
            records.push_back(std::move(*record));
        }
    });
    return records;
}

JournalScan JournalFile::Scan() const {
    JournalScan scan;
    const std::string bytes = ReadBytes();
    // Each record line with its operation's number; the records of one operation mostly
    // follow each other, so the last operation is tried before the table.
    struct Line {
        std::string_view text;
        std::uint32_t operation;
    };
    std::vector<Line> lines;
    std::vector<bool> ended;
    std::unordered_map<std::string_view, std::uint32_t> numbers;
    numbers.reserve(bytes.size() / 128);
    std::string_view lastOperation;
    std::uint32_t lastNumber = 0;
    bool dated = false;
    ForEachLine(bytes, [&](std::string_view line) {
        const auto [operation, type] = PeekJournalRecord(line);
        if (operation.empty()) {
            return;
        }
        if (!dated) {
            if (const auto first = DecodeJournalRecord(line)) {
                scan.oldest = first->time;
                dated = true;
            }
        }
        if (operation != lastOperation) {
            const auto [at, added] =
                numbers.try_emplace(operation, static_cast<std::uint32_t>(ended.size()));
            if (added) {
                ended.push_back(false);
            }
            lastOperation = operation;
            lastNumber = at->second;
        }
        lines.push_back({line, lastNumber});
        // Only a whole end counts, as when the records are read one by one.
        if (type == JournalRecord::kEnd && !ended[lastNumber] && IsWholeJournalRecord(line)) {
            ended[lastNumber] = true;
            ++scan.operations;
        }
    });
    std::vector<bool> counted(ended.size(), false);
    for (const Line& line : lines) {
        if (ended[line.operation]) {
            continue;
        }
        if (auto record = DecodeJournalRecord(line.text)) {
            scan.unfinished.push_back(std::move(*record));
            scan.operations += counted[line.operation] ? 0 : 1;
            counted[line.operation] = true;
        }
    }
    return scan;
}

bool JournalFile::Compact(std::int64_t now, const JournalKeep& keep) {
    const Lock lock(*this);
    if (!lock.Held()) {
        return false;
    }
    const std::string bytes = ReadBytes();
    std::vector<JournalRecord> records;
    std::vector<std::string_view> lines;
    ForEachLine(bytes, [&](std::string_view line) {
        if (auto record = DecodeJournalRecord(line)) {
            records.push_back(std::move(*record));
            lines.push_back(line);
        }
    });
    std::unordered_map<std::string, Operation> operations;
    std::vector<std::string> order; // ended and open, in the order they began
    for (const JournalRecord& record : records) {
        auto [at, added] = operations.try_emplace(record.operation);
        if (added) {
            at->second.begun = record.time;
            order.push_back(record.operation);
        }
        at->second.ended = at->second.ended || record.type == JournalRecord::kEnd;
    }
    std::unordered_set<std::string> kept;
    std::size_t keptEnded = 0;
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        const Operation& operation = operations[*it];
        const bool latest = keptEnded < keep.latest;
        const bool recent = operation.begun >= now - keep.recentSeconds && keptEnded < keep.most;
        if (!operation.ended) {
            kept.insert(*it);
        } else if (latest || recent) {
            kept.insert(*it);
            ++keptEnded;
        }
    }
    std::string compacted;
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (kept.count(records[i].operation) != 0) {
            compacted.append(lines[i]);
            compacted += '\n';
        }
    }
    const std::string fresh = file_.string() + ".new";
    const int fd = calls_.open(fresh.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    const bool written = WriteAll(fd, compacted) && calls_.fsync(fd) == 0;
    calls_.close(fd);
    if (!written || calls_.rename(fresh.c_str(), file_.c_str()) != 0) {
        calls_.unlink(fresh.c_str());
        return false;
    }
    const int folder = calls_.open(file_.parent_path().c_str(), O_RDONLY | O_DIRECTORY, 0);
    if (folder >= 0) {
        calls_.fsync(folder);
        calls_.close(folder);
    }
    return true;
}

} // namespace pirela
