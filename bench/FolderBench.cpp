// A phone's camera roll of 100,000 photos (empty files here: only their names matter), listed
// and sorted as Pirela opens it, as ratios to references measured in the same run:
//   the list in the name order / `ls -f` piped into `sort` of the same folder (target <= 1.5);
//   the natural order and the date-taken order (the dates in the cache, as when the folder is
//   opened again) / the name order (target <= 2);
//   a tree of 100,000 photos in 280 folders / a bare readdir walk + std::sort (target <= 1.5);
//   the sort alone of names reversed / of names in order (target <= 1.5).
// And, without a target, the look at every file that confirms the cached dates afterwards (on
// workers, beside the window), and the list's memory for 100,000 names beside the bytes of the
// names themselves.
#include "RatioReport.h"

#include "folder/FolderListing.h"
#include "folder/TakenDates.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace pirela;

namespace {

constexpr int kImages = 100'000;

// Camera and phone names, with other cases and extensions among them.
std::string NameFor(int i) {
    static const char* const kStems[] = {"IMG_", "img", "Photo ", "DSC", "PXL_2024"};
    static const char* const kExtensions[] = {".jpg", ".JPG", ".heic", ".png", ".Jpe"};
    return std::string(kStems[i % 5]) + std::to_string(i * 7919 % 1'000'003) + kExtensions[i / 5 % 5];
}

void MakeFile(const fs::path& file) {
    const int fd = ::open(file.c_str(), O_CREAT | O_WRONLY, 0644);
    if (fd >= 0) {
        ::close(fd);
    }
}

fs::path MakeFlat(const fs::path& root) {
    const fs::path folder = root / "flat";
    fs::create_directories(folder);
    for (int i = 0; i < kImages; ++i) {
        MakeFile(folder / NameFor(i));
    }
    for (int i = 0; i < 200; ++i) {
        MakeFile(folder / ("." + NameFor(i)));                     // hidden
        MakeFile(folder / ("notes" + std::to_string(i) + ".txt")); // other types
    }
    return folder;
}

fs::path MakeTree(const fs::path& root) {
    const fs::path folder = root / "tree";
    for (int i = 0; i < kImages; ++i) {
        const fs::path sub =
            folder / ("album " + std::to_string(i % 40)) / ("day" + std::to_string(i % 7));
        if (i < 280) {
            fs::create_directories(sub);
        }
        MakeFile(sub / NameFor(i));
    }
    return folder;
}

fs::path gFlat;
fs::path gTree;
DateTakenCache gDates;

ImageFileList Listed(const fs::path& folder, ListOrder order, bool subfolders = false) {
    FolderListing listing(folder.string(), {subfolders, false}, order, DirectoryReader::System(),
                          {}, &gDates);
    return listing.TakeList();
}

void LsAndSort(benchmark::State& state) {
    const std::string command = "ls -f '" + gFlat.string() + "' | LC_ALL=C sort > /dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("ls | sort failed");
        }
    }
}

void ListInOrder(benchmark::State& state, ListOrder order) {
    for (auto _ : state) {
        ImageFileList list = Listed(gFlat, order);
        benchmark::DoNotOptimize(list.Name(0).data());
    }
}

// The list in the order of the dates the cache remembers for its names: what the user sees.
void ListByDate(benchmark::State& state) {
    for (auto _ : state) {
        ImageFileList list = Listed(gFlat, ListOrder::DateTaken);
        benchmark::DoNotOptimize(list.Name(0).data());
    }
}

// Then every file looked at on the workers, its date confirmed by its identity (beside the
// window, after the list is in use): reported, not a ratio of its own.
void ConfirmDates(benchmark::State& state) {
    const ImageFileList list = Listed(gFlat, ListOrder::DateTaken);
    for (auto _ : state) {
        TakenDates dates(list, gDates, {});
        dates.Wait();
        if (!dates.Take().empty()) {
            state.SkipWithError("a cached date differed");
        }
    }
}

void BareWalkAndSort(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<std::string> names;
        std::vector<std::pair<fs::path, std::string>> pending{{gTree, ""}};
        while (!pending.empty()) {
            auto [folder, prefix] = pending.back();
            pending.pop_back();
            DIR* dir = ::opendir(folder.c_str());
            while (const dirent* entry = ::readdir(dir)) {
                const std::string name = entry->d_name;
                if (name == "." || name == "..") {
                    continue;
                }
                if (entry->d_type == DT_DIR) {
                    pending.emplace_back(folder / name, prefix + name + "/");
                } else {
                    names.push_back(prefix + name);
                }
            }
            ::closedir(dir);
        }
        std::sort(names.begin(), names.end());
        benchmark::DoNotOptimize(names.data());
    }
}

void ListTree(benchmark::State& state) {
    for (auto _ : state) {
        ImageFileList list = Listed(gTree, ListOrder::Name, true);
        benchmark::DoNotOptimize(list.Name(0).data());
    }
}

void SortAlone(benchmark::State& state, bool reversed) {
    const std::vector<std::string> sorted = Listed(gFlat, ListOrder::Name).Names();
    for (auto _ : state) {
        state.PauseTiming();
        ImageFileList list;
        for (std::size_t i = 0; i < sorted.size(); ++i) {
            list.AddFileName(sorted[reversed ? sorted.size() - 1 - i : i]);
        }
        state.ResumeTiming();
        list.SortFileList();
        benchmark::DoNotOptimize(list.Name(0).data());
    }
}

void ReportMemory() {
    const ImageFileList list = Listed(gFlat, ListOrder::Name);
    std::size_t nameBytes = 0;
    for (int i = 0; i < list.Count(); ++i) {
        nameBytes += list.Name(i).size();
    }
    const double perHundredThousand = 100'000.0 / list.Count();
    std::printf("\nthe list's memory per 100,000 names: %.2f MB (the names' own bytes: %.2f MB;"
                " target: a few MB)\n",
                double(list.MemoryBytes()) * perHundredThousand / 1e6,
                double(nameBytes) * perHundredThousand / 1e6);
}

} // namespace

int main(int argc, char** argv) {
    const fs::path root =
        fs::temp_directory_path() / ("pirela-folder-bench-" + std::to_string(::getpid()));
    gFlat = MakeFlat(root);
    gTree = MakeTree(root);
    { // the dates of the date-taken order, read once: opened again, the folder finds them here
        const ImageFileList list = Listed(gFlat, ListOrder::Name);
        TakenDates(list, gDates, {}).Wait();
    }
    const auto ms = benchmark::kMillisecond;
    benchmark::RegisterBenchmark("100000 / ls -f | sort", LsAndSort)->Unit(ms);
    benchmark::RegisterBenchmark("100000 / name order", ListInOrder, ListOrder::Name)->Unit(ms);
    benchmark::RegisterBenchmark("100000 / natural order", ListInOrder, ListOrder::Natural)->Unit(ms);
    benchmark::RegisterBenchmark("100000 / date order, dates cached", ListByDate)->Unit(ms);
    benchmark::RegisterBenchmark("100000 / dates confirmed afterwards", ConfirmDates)->Unit(ms);
    benchmark::RegisterBenchmark("tree / readdir + std::sort", BareWalkAndSort)->Unit(ms);
    benchmark::RegisterBenchmark("tree / ours", ListTree)->Unit(ms);
    benchmark::RegisterBenchmark("sort 100000 names in order", SortAlone, false)->Unit(ms);
    benchmark::RegisterBenchmark("sort 100000 names reversed", SortAlone, true)->Unit(ms);
    benchmark::Initialize(&argc, argv);
    pirela::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios({{"100000 / name order", "100000 / ls -f | sort"},
                          {"tree / ours", "tree / readdir + std::sort"},
                          {"sort 100000 names reversed", "sort 100000 names in order"}},
                         1.5);
    reporter.PrintRatios({{"100000 / natural order", "100000 / name order"},
                          {"100000 / date order, dates cached", "100000 / name order"}},
                         2.0);
    ReportMemory();
    fs::remove_all(root);
    benchmark::Shutdown();
    return 0;
}
