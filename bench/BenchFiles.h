#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// Big files for the transfer benchmarks, and the shell commands they compare against (cp,
// sync, rm).
namespace pirela::bench {

inline constexpr std::uint64_t kGiB = std::uint64_t(1) << 30;

// A file of the size, filled with a repeating pattern.
inline void WriteFileOfSize(const std::filesystem::path& file, std::uint64_t size) {
    std::vector<char> block(std::size_t(1) << 20);
    for (std::size_t i = 0; i < block.size(); ++i) {
        block[i] = char(i * 131 % 251);
    }
    std::ofstream out(file, std::ios::binary);
    for (std::uint64_t done = 0; done < size; done += block.size()) {
        out.write(block.data(),
                  std::streamsize(std::min<std::uint64_t>(block.size(), size - done)));
    }
}

// Runs the command; a benchmark cannot go on when its reference failed.
inline void Shell(const std::string& command) {
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
}

inline std::string Quoted(const std::filesystem::path& path) {
    return "'" + path.string() + "'";
}

} // namespace pirela::bench
