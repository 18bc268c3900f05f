#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>

namespace pirela {

// A C stream opened for binary reading, closed when it goes out of scope. The decoders read
// through C streams because libjpeg and libpng take them.
struct CloseCFile {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using CFile = std::unique_ptr<std::FILE, CloseCFile>;

inline CFile OpenForReading(const std::filesystem::path& path) {
    return CFile(std::fopen(path.c_str(), "rb"));
}

} // namespace pirela
