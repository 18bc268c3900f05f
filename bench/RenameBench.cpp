// The batch rename of 10,000 files, all of it (listing, sorting, checking every new name,
// parking, numbering), against a bare two-pass renameat2 loop over the same files, in the same
// folder and the same run (target <= 1.5, median of paired rounds).
#include "RatioReport.h"

#include "rename/BatchRenameFiles.h"
#include "rename/BatchRenamer.h"

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <stdio.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace pirela;

namespace {

constexpr int kFiles = 10000;
constexpr int kRounds = 7;
constexpr double kTarget = 1.5;
constexpr int kDigits = 5;

void RenameOrDie(const fs::path& from, const fs::path& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) != 0) {
        std::perror(from.c_str());
        std::exit(1);
    }
}

} // namespace

int main() {
    const fs::path folder =
        fs::temp_directory_path() / ("pirela-rename-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    std::vector<std::string> oldNames;
    for (int i = 0; i < kFiles; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "IMG_%05d.JPG", (i * 7919) % kFiles);
        oldNames.push_back(name);
        std::ofstream(folder / name) << name;
    }
    std::vector<std::string> newNames;
    for (const std::string& name : ListBatchRenameFiles(folder, {})) {
        newNames.push_back(BatchRenamer::NewName(name, "trip_", int64_t(newNames.size()) + 1, kDigits));
    }
    const std::vector<std::string> sorted = ListBatchRenameFiles(folder, {});

    const auto ours = [&] {
        const auto names = ListBatchRenameFiles(folder, {});
        const auto counts = BatchRenamer().Rename(folder, names, "trip_", kDigits, 1);
        if (counts.succeeded != kFiles) {
            std::fprintf(stderr, "renamed only %d files\n", counts.succeeded);
            std::exit(1);
        }
    };
    const auto bare = [&] {
        for (const std::string& name : sorted) {
            RenameOrDie(folder / name, folder / ("_%%tmp_" + name));
        }
        for (std::size_t j = 0; j < sorted.size(); ++j) {
            RenameOrDie(folder / ("_%%tmp_" + sorted[j]), folder / newNames[j]);
        }
    };
    const auto undo = [&] {
        for (std::size_t j = 0; j < sorted.size(); ++j) {
            RenameOrDie(folder / newNames[j], folder / sorted[j]);
        }
    };
    bench::PairedMedianRatio(ours, bare, 1, undo); // a first, cold round, not counted
    const double ratio = bench::PairedMedianRatio(ours, bare, kRounds, undo);
    std::printf("ratio (target <= %.2f), median of %d paired rounds:\n", kTarget, kRounds);
    std::printf("  batch rename of %d files / two-pass renameat2 = %6.3f\n", kFiles, ratio);
    std::printf(ratio <= kTarget ? "all targets met\n" : "some targets missed\n");
    fs::remove_all(folder);
    return 0;
}
