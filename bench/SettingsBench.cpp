// How long startup spends on the settings file: loading pirela.ini (read, parse, fill every
// setting) against only reading its bytes, which any settings store must do.
#include "RatioReport.h"

#include "platform/FileAccess.h"
#include "settings/SettingsStore.h"

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const fs::path& SettingsFile() {
    static const fs::path file = [] {
        const fs::path path = fs::temp_directory_path() / ("pirela-bench-" +
                                                           std::to_string(::getpid()) + ".ini");
        pirela::AppSettings settings;
        for (int i = 0; i < pirela::kDestinationCount; ++i) {
            settings.destinationFolders[i] = "/home/me/Pictures/仕分け先 " + std::to_string(i);
        }
        pirela::SettingsStore(path).Save(settings);
        // The docking state of three bars lives in the same file.
        std::ofstream(path, std::ios::app) << "[TOOLBAR-Summary]\nBars=3\nScreenCX=1920\n"
                                              "[TOOLBAR-Bar0]\nBarID=59392\nVisible=1\n"
                                              "[TOOLBAR-Bar1]\nBarID=59393\nVisible=1\n"
                                              "[TOOLBAR-Bar2]\nBarID=59397\nDocking=1\n";
        return path;
    }();
    return file;
}

const pirela::SettingsEnvironment kEnvironment{1920, 1080, "/home/me/Documents", "/usr/bin", {}};

void ReadBytesOnly(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(pirela::ReadWholeFile(SettingsFile(), 1 << 20));
    }
}
BENCHMARK(ReadBytesOnly);

void LoadSettings(benchmark::State& state) {
    pirela::SettingsStore store(SettingsFile());
    for (auto _ : state) {
        benchmark::DoNotOptimize(store.Load(kEnvironment));
    }
}
BENCHMARK(LoadSettings);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    pirela::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios({{"LoadSettings", "ReadBytesOnly"}}, 5.0);
    std::filesystem::remove(SettingsFile());
    benchmark::Shutdown();
    return 0;
}
