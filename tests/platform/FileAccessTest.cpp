#include "platform/FileAccess.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace pirela {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

mode_t ModeOf(const std::filesystem::path& file) {
    struct stat status {};
    ::stat(file.c_str(), &status);
    return status.st_mode & 07777;
}

std::size_t EntriesIn(const std::filesystem::path& folder) {
    return static_cast<std::size_t>(
        std::distance(std::filesystem::directory_iterator(folder), {}));
}

TEST(FileAccessTest, ReplacesTheContentAndKeepsThePermissions) {
    TempDir dir;
    const auto file = dir / "settings.ini";
    WriteFile(file, "old");
    ::chmod(file.c_str(), 0640);
    ASSERT_TRUE(WriteFileAtomically(file, "new content"));
    EXPECT_EQ(ReadFile(file), "new content");
    EXPECT_EQ(ModeOf(file), 0640u);
    EXPECT_EQ(EntriesIn(dir.Path()), 1u);
}

TEST(FileAccessTest, ALinkedFileIsReplacedAndTheLinkStays) {
    TempDir dir;
    std::filesystem::create_directory(dir / "real");
    WriteFile(dir / "real" / "settings.ini", "old");
    std::filesystem::create_symlink(dir / "real" / "settings.ini", dir / "link.ini");
    ASSERT_TRUE(WriteFileAtomically(dir / "link.ini", "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.ini"));
    EXPECT_EQ(ReadFile(dir / "real" / "settings.ini"), "new");
}

TEST(FileAccessTest, AWriteThatFailsHalfwayLeavesTheOldFileWhole) {
    TempDir dir;
    const auto file = dir / "settings.ini";
    WriteFile(file, "the old settings");
    // A file size limit makes the write fail part way, as a full disk would.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    ::getrlimit(RLIMIT_FSIZE, &previous);
    rlimit small = previous;
    small.rlim_cur = 4096;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const bool replaced = WriteFileAtomically(file, std::string(1 << 20, 'x'));
    ::setrlimit(RLIMIT_FSIZE, &previous);

    EXPECT_FALSE(replaced);
    EXPECT_EQ(ReadFile(file), "the old settings");
    EXPECT_EQ(EntriesIn(dir.Path()), 1u); // no temporary file left behind
}

TEST(FileAccessTest, ReadOnlyMeansReadOnlyEvenForTheSuperUser) {
    TempDir dir;
    const auto file = dir / "settings.ini";
    WriteFile(file, "keep");
    ::chmod(file.c_str(), 0444);
    EXPECT_FALSE(IsWritableFile(file));
    EXPECT_FALSE(WriteFileAtomically(file, "lost"));
    EXPECT_EQ(ReadFile(file), "keep");
    EXPECT_TRUE(IsWritableFolder(dir.Path()));
    EXPECT_FALSE(IsWritableFolder(file));
    EXPECT_FALSE(IsWritableFile(dir.Path()));
}

TEST(FileAccessTest, ReadsWholeFilesUpToALimit) {
    TempDir dir;
    WriteFile(dir / "a", "12345");
    EXPECT_EQ(ReadWholeFile(dir / "a", 5), "12345");
    EXPECT_EQ(ReadWholeFile(dir / "a", 4), std::nullopt);
    EXPECT_EQ(ReadWholeFile(dir / "missing", 100), std::nullopt);
    EXPECT_EQ(ReadWholeFile(dir.Path(), 100), std::nullopt);
}

} // namespace
} // namespace pirela
