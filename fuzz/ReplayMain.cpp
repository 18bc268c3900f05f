// Runs a fuzz target as a plain program: every file given, and every file in every folder
// given, is passed to the target once. Folders that do not exist are passed over (a target
// may have no saved crash files), but at least one input must be found, so that a seed corpus
// that was never written cannot pass for a clean run. Built for every target with the tests,
// so that a target that no longer compiles, or a seed or saved crash that crashes it, fails
// the test command.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

void Replay(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
    // A copy of its own, so that a read one byte too far is caught by the sanitizers.
    const std::vector<std::uint8_t> input(bytes.begin(), bytes.end());
    LLVMFuzzerTestOneInput(input.empty() ? nullptr : input.data(), input.size());
}

} // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    int replayed = 0;
    for (int i = 1; i < argc; ++i) {
        const fs::path path = argv[i];
        std::error_code error;
        if (fs::is_regular_file(path, error)) {
            Replay(path);
            ++replayed;
            continue;
        }
        if (!fs::is_directory(path, error)) {
            continue;
        }
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(path, error)) {
            if (entry.is_regular_file(error)) {
                files.push_back(entry.path());
            }
        }
        std::sort(files.begin(), files.end());
        for (const fs::path& file : files) {
            Replay(file);
            ++replayed;
        }
    }
    std::printf("%d input(s) replayed\n", replayed);
    return replayed > 0 ? 0 : 1;
}
