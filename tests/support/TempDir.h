#pragma once

#include <cstdlib>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace pirela::test {

// A fresh folder under the system's temporary folder (or under base), removed with everything in
// it (read-only parts included) when the test ends. Files trashed from it into the trash of
// base's own disk (base is the top folder of /dev/shm) go too.
class TempDir {
public:
    explicit TempDir(const std::filesystem::path& base = std::filesystem::temp_directory_path())
        : base_(base) {
        std::string pattern = (base / "pirela-test-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempDir() {
        RemoveTrashedFiles();
        std::error_code error;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, error)) {
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, error);
        }
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, error);
        std::filesystem::remove_all(path_, error);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

private:
    // The trash records a disk's trash holds name their files relative to its top folder.
    void RemoveTrashedFiles() const {
        const std::filesystem::path trash = base_ / (".Trash-" + std::to_string(::getuid()));
        const std::string ours = "\nPath=" + path_.filename().string() + "/";
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(trash / "info", error)) {
            std::ifstream in(entry.path(), std::ios::binary);
            const std::string record{std::istreambuf_iterator<char>(in),
                                     std::istreambuf_iterator<char>()};
            if (record.find(ours) != std::string::npos) {
                std::filesystem::remove(trash / "files" / entry.path().stem(), error);
                std::filesystem::remove(entry.path(), error);
            }
        }
    }

    std::filesystem::path base_;
    std::filesystem::path path_;
};

// Points HOME and the desktop's data, configuration and state folders into the folder, so that
// the trash, launchers, icons and the journal a test makes never reach the real user's.
inline void SandboxDesktopHome(const TempDir& home) {
    ::setenv("HOME", home.Path().c_str(), 1);
    ::setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    ::setenv("XDG_STATE_HOME", (home / "state").c_str(), 1);
    ::setenv("XDG_CACHE_HOME", (home / "cache").c_str(), 1);
}

inline void WriteFile(const std::filesystem::path& file, std::string_view bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace pirela::test
