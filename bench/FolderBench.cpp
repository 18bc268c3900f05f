// Scanning and sorting a folder of 19,999 images (mixed case, digits, some hidden files, some
// files of other types), flat and as a tree, as a ratio to a bare readdir + std::sort of the
// same names in the same run. Also the sort alone, on names already in order and reversed.
#include "RatioReport.h"

#include "folder/FolderScan.h"
#include "folder/ImageFileList.h"

#include <dirent.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace pirela;

namespace {

constexpr int kImages = ImageFileList::kCapacity;

std::string NameFor(int i) {
    static const char* const kStems[] = {"IMG_", "img", "Photo ", "DSC", "scan-"};
    static const char* const kExtensions[] = {".jpg", ".JPG", ".png", ".bmp", ".Jpe"};
    return std::string(kStems[i % 5]) + std::to_string(i * 7919 % 100003) + kExtensions[i / 5 % 5];
}

void MakeFile(const fs::path& file) {
    std::ofstream{file};
}

fs::path MakeFlat(const fs::path& root) {
    const fs::path folder = root / "flat";
    fs::create_directories(folder);
    for (int i = 0; i < kImages; ++i) {
        MakeFile(folder / NameFor(i));
    }
    for (int i = 0; i < 200; ++i) {
        MakeFile(folder / ("." + NameFor(i)));            // hidden
        MakeFile(folder / ("notes" + std::to_string(i) + ".txt")); // other types
    }
    return folder;
}

fs::path MakeTree(const fs::path& root) {
    const fs::path folder = root / "tree";
    for (int i = 0; i < kImages; ++i) {
        const fs::path sub = folder / ("album " + std::to_string(i % 40)) / ("day" + std::to_string(i % 7));
        if (i < 280) {
            fs::create_directories(sub);
        }
        MakeFile(sub / NameFor(i));
    }
    return folder;
}

fs::path gFlat;
fs::path gTree;

std::vector<std::string> ReaddirNames(const fs::path& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    while (const dirent* entry = ::readdir(dir)) {
        names.emplace_back(entry->d_name);
    }
    ::closedir(dir);
    return names;
}

void BareReaddirAndSort(benchmark::State& state) {
    for (auto _ : state) {
        auto names = ReaddirNames(gFlat);
        std::sort(names.begin(), names.end());
        benchmark::DoNotOptimize(names.data());
    }
}

void BareReaddirAndSortTree(benchmark::State& state) {
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

void ScanAndSort(benchmark::State& state, const fs::path* folder, bool subfolders) {
    for (auto _ : state) {
        ImageFileList list;
        AddImageFilesOf(folder->string(), {subfolders, false}, list);
        list.SortFileList();
        benchmark::DoNotOptimize(list.Names().data());
    }
}

std::vector<std::string> SortedNames() {
    ImageFileList list;
    AddImageFilesOf(gFlat.string(), {}, list);
    list.SortFileList();
    return list.Names();
}

void SortAlone(benchmark::State& state, bool reversed) {
    std::vector<std::string> names = SortedNames();
    if (reversed) {
        std::reverse(names.begin(), names.end());
    }
    for (auto _ : state) {
        state.PauseTiming();
        ImageFileList list;
        for (const auto& name : names) {
            list.AddFileName(name);
        }
        state.ResumeTiming();
        list.SortFileList();
        benchmark::DoNotOptimize(list.Names().data());
    }
}

} // namespace

int main(int argc, char** argv) {
    const fs::path root = fs::temp_directory_path() / ("pirela-folder-bench-" + std::to_string(::getpid()));
    gFlat = MakeFlat(root);
    gTree = MakeTree(root);
    benchmark::RegisterBenchmark("flat / readdir + std::sort", BareReaddirAndSort)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("flat / ours", ScanAndSort, &gFlat, false)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("tree / readdir + std::sort", BareReaddirAndSortTree)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("tree / ours", ScanAndSort, &gTree, true)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("sort 19999 names in order", SortAlone, false)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("sort 19999 names reversed", SortAlone, true)->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    pirela::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios({{"flat / ours", "flat / readdir + std::sort"},
                          {"tree / ours", "tree / readdir + std::sort"},
                          {"sort 19999 names reversed", "sort 19999 names in order"}},
                         1.5);
    fs::remove_all(root);
    benchmark::Shutdown();
    return 0;
}
