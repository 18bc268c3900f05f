// The cost of a safe file transfer against the tools a user would use instead, on the same
// 1 GiB file in the same run (medians of paired rounds; the first, cold round is thrown away):
// our copy (flushed to the disk) against cp + sync, a move on one file system for 1 GiB against
// 1 KiB (both a rename), and a move to another file system (/dev/shm) against cp + rm.
#include "BenchFiles.h"
#include "RatioReport.h"

#include "platform/FileTransfer.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace pirela;
using bench::Quoted;
using bench::Shell;
using bench::WriteFileOfSize;

namespace {

constexpr std::uint64_t kBigSize = bench::kGiB;
constexpr std::uint64_t kSpaceNeeded = 3 * kBigSize; // the source, a copy, and room to spare
constexpr int kRounds = 5;
constexpr double kTarget = 1.10;

void Check(const TransferResult& result) {
    if (!result.Succeeded()) {
        std::fprintf(stderr, "transfer failed: errno %d\n", result.error);
        std::exit(1);
    }
}

double Ratio(const std::function<void()>& measured, const std::function<void()>& reference,
             const std::function<void()>& undo) {
    bench::PairedMedianRatio(measured, reference, 1, undo); // the cold round, not counted
    return bench::PairedMedianRatio(measured, reference, kRounds, undo);
}

void Report(const char* what, double ratio, bool& allMet) {
    allMet = allMet && ratio <= kTarget;
    std::printf("  %-52s = %6.3f\n", what, ratio);
    std::fflush(stdout);
}

} // namespace

int main() {
    const fs::path folder = fs::temp_directory_path() / ("pirela-transfer-bench-" +
                                                         std::to_string(::getpid()));
    const fs::path shared = fs::path("/dev/shm") / folder.filename();
    fs::create_directories(folder);
    const FileTransfer transfer;
    if (transfer.FreeSpace(folder).value_or(0) < kSpaceNeeded) {
        std::printf("transfer_bench: less than 3 GiB free in %s, skipped\n", folder.c_str());
        fs::remove_all(folder);
        return 0;
    }
    const fs::path big = folder / "big.jpg";
    const fs::path small = folder / "small.jpg";
    const fs::path copy = folder / "copy.jpg";
    WriteFileOfSize(big, kBigSize);
    WriteFileOfSize(small, 1024);
    Shell("sync -f " + Quoted(big));
    bool allMet = true;
    std::printf("ratios (target <= %.2f), median of %d paired rounds:\n", kTarget, kRounds);

    Report("copy 1 GiB, flushed / cp + sync",
           Ratio([&] { Check(transfer.Copy(big, copy, Overwrite::Refuse)); },
                 [&] { Shell("cp " + Quoted(big) + " " + Quoted(copy) + " && sync -f " + Quoted(copy)); },
                 [&] { fs::remove(copy); }),
           allMet);

    const fs::path moved = folder / "moved.jpg";
    Report("move on one file system, 1 GiB / 1 KiB",
           Ratio([&] { Check(transfer.Move(big, moved, Overwrite::Refuse)); },
                 [&] { Check(transfer.Move(small, moved, Overwrite::Refuse)); },
                 [&] {
                     fs::rename(moved, fs::exists(big) ? small : big);
                 }),
           allMet);

    fs::create_directories(shared);
    const fs::path across = shared / "big.jpg";
    Report("move to /dev/shm, 1 GiB / cp + rm",
           Ratio([&] { Check(transfer.Move(big, across, Overwrite::Refuse)); },
                 [&] { Shell("cp " + Quoted(big) + " " + Quoted(across) + " && rm " + Quoted(big)); },
                 [&] { Check(transfer.Move(across, big, Overwrite::Refuse)); }),
           allMet);

    fs::remove_all(shared);
    fs::remove_all(folder);
    std::printf(allMet ? "all targets met\n" : "some targets missed\n");
    return 0;
}
