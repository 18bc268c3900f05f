// What the journal of file operations costs:
//   - the scan at start, on a journal of 10,000 finished sends, beside only reading its bytes
//     (both times as the benchmark prints them; the target is the recovery's 5 ms below);
//   - the recovery at start on that journal (lock, scan, nothing to do), within 5 ms;
//   - the records of one send (its begin and its end, each flushed to the disk) against the
//     send itself, a 6 MB photo copied and flushed on the same disk (target <= 0.10);
//   - the send of that photo as the program makes it, recorded in the journal, against the
//     same copy without the journal (target <= 1.10);
//   - that send, whose end flushes every folder it changed, against the same send whose end
//     flushes none, as it was before (target <= 1.15).
#include "BenchFiles.h"
#include "RatioReport.h"

#include "app/Recovery.h"
#include "journal/JournalFile.h"
#include "journal/JournalLocation.h"
#include "journal/OperationLog.h"
#include "platform/FileAccess.h"
#include "platform/FileTransfer.h"
#include "send/SendOperation.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace pirela;

constexpr int kOperations = 10000;

const fs::path& Folder() {
    static const fs::path folder = [] {
        const fs::path path =
            fs::temp_directory_path() / ("pirela-journal-bench-" + std::to_string(::getpid()));
        fs::create_directories(path / "sorted");
        bench::WriteFileOfSize(path / "photo.jpg", 6 << 20);
        return path;
    }();
    return folder;
}

// The records of a move of a photo, as a send writes them.
std::vector<JournalRecord> SendRecords(const std::string& id, int n) {
    const std::string name = "DSC_" + std::to_string(10000 + n) + ".JPG";
    JournalRecord begin{id, std::string(JournalRecord::kBegin), 1765180000 + n, {}};
    begin.Add("kind", "move")
        .Add("from", "/home/user/Pictures/2026-12-07 Kyoto/" + name)
        .Add("to", "/media/user/USB STICK/仕分け/寺/" + name)
        .Add("temporary", "/media/user/USB STICK/仕分け/寺/.pirela-" + id)
        .Add("identity", "2049:1234567:6291456:1765180000.123456789:1765180000.123456789")
        .Add("mode", "33188");
    JournalRecord copied{id, "copied", begin.time, {}};
    JournalRecord end{id, std::string(JournalRecord::kEnd), begin.time, {}};
    end.Add("outcome", "done");
    return {begin, copied, end};
}

const fs::path& LongJournal() {
    static const fs::path file = [] {
        const fs::path path = JournalFileIn(Folder() / "long");
        JournalFile journal(path);
        std::vector<JournalRecord> records;
        for (int i = 0; i < kOperations; ++i) {
            const auto send = SendRecords(NewJournalOperationId(), i);
            records.insert(records.end(), send.begin(), send.end());
        }
        journal.Append(records);
        return path;
    }();
    return file;
}

void ReadJournalBytes(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadWholeFile(LongJournal(), 1 << 30));
    }
}
BENCHMARK(ReadJournalBytes)->Unit(benchmark::kMillisecond);

void ScanJournal(benchmark::State& state) {
    const JournalFile journal(LongJournal());
    for (auto _ : state) {
        benchmark::DoNotOptimize(journal.Scan());
    }
}
BENCHMARK(ScanJournal)->Unit(benchmark::kMillisecond);

void CopyPhoto(benchmark::State& state) {
    for (auto _ : state) {
        const auto result = FileTransfer().Copy(Folder() / "photo.jpg",
                                                Folder() / "sorted" / "a.jpg", Overwrite::Confirmed);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(CopyPhoto)->Unit(benchmark::kMillisecond);

void JournalOneSend(benchmark::State& state) {
    JournalFile journal(Folder() / "short" / "journal");
    int n = 0;
    for (auto _ : state) {
        const std::string id = NewJournalOperationId();
        auto records = SendRecords(id, n++);
        journal.Append(records[0]);
        journal.Append(records[2]);
    }
}
BENCHMARK(JournalOneSend)->Unit(benchmark::kMillisecond);

// The recovery the program runs at start, on the long journal: nothing is open, so it takes the
// lock and scans. Milliseconds, the median of a few runs.
double RecoveryMilliseconds() {
    OperationLog log(LongJournal().parent_path());
    std::vector<double> times;
    for (int round = 0; round < 9; ++round) {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(Recovery(log).Run());
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// A copy of the photo sent with its journal records against the same copy without them.
double SendRatio() {
    OperationLog log(Folder() / "state");
    const fs::path photo = Folder() / "photo.jpg";
    const fs::path copy = Folder() / "sorted" / "b.jpg";
    const auto send = [&] {
        FileOperation operation;
        operation.kind = operation::kCopy;
        operation.files.push_back({photo.string(), copy.string()});
        benchmark::DoNotOptimize(SendOperation(log).Run(operation, Overwrite::Refuse));
    };
    const auto plain = [&] {
        benchmark::DoNotOptimize(FileTransfer().Copy(photo, copy, Overwrite::Refuse));
    };
    const auto remove = [&] { fs::remove(copy); };
    bench::PairedMedianRatio(send, plain, 1, remove); // the cold round, not counted
    return bench::PairedMedianRatio(send, plain, 15, remove);
}

// The send of the photo whose end first flushes the folders it changed, against the same send
// whose journal's calls pass over every flush of a folder (the send's own flush of the
// destination folder, which it had before, stays in both).
double FolderFlushRatio() {
    SystemCalls withoutFolderFlushes = SystemCalls::Libc();
    withoutFolderFlushes.fsync = [](int fd) {
        struct stat status {};
        return ::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode) ? 0 : ::fsync(fd);
    };
    OperationLog flushing(Folder() / "state");
    OperationLog before(Folder() / "state-before", withoutFolderFlushes);
    const fs::path photo = Folder() / "photo.jpg";
    const fs::path copy = Folder() / "sorted" / "c.jpg";
    const auto sendWith = [&](OperationLog& log) {
        FileOperation operation;
        operation.kind = operation::kCopy;
        operation.files.push_back({photo.string(), copy.string()});
        benchmark::DoNotOptimize(SendOperation(log).Run(operation, Overwrite::Refuse));
    };
    const auto remove = [&] { fs::remove(copy); };
    const auto measured = [&] { sendWith(flushing); };
    const auto reference = [&] { sendWith(before); };
    bench::PairedMedianRatio(measured, reference, 1, remove); // the cold round, not counted
    return bench::PairedMedianRatio(measured, reference, 15, remove);
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios({{"JournalOneSend", "CopyPhoto"}}, 0.10);
    std::printf("\nrecovery at start, 10,000 finished operations: %.2f ms (target <= 5 ms)\n",
                RecoveryMilliseconds());
    std::printf("send of a 6 MB photo with the journal / without, median of 15 paired rounds ="
                " %.3f (target <= 1.10)\n",
                SendRatio());
    std::printf("send of a 6 MB photo with the folders flushed before its end / without, median of"
                " 15 paired rounds = %.3f (target <= 1.15)\n",
                FolderFlushRatio());
    fs::remove_all(Folder());
    benchmark::Shutdown();
    return 0;
}
