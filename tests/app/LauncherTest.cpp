#include "app/Launcher.h"
#include "platform/DesktopEntry.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace pirela {
namespace {

namespace fs = std::filesystem;

class LauncherTest : public ::testing::Test {
protected:
    LauncherTest() {
        fs::create_directories(program.parent_path());
        test::WriteFile(program, "#!/bin/sh\n");
    }

    std::string Applications() const { return (home / "applications").string(); }
    std::string OtherLauncher(const char* programPath) const {
        return ComposeLauncher("Other", programPath);
    }

    test::TempDir home;
    // A path that needs every kind of quoting an Exec line has.
    fs::path program = home / "my apps/pi\"re$`la%\\/pirela";
    Launcher launcher{{Applications(), (home / "icons").string(), program.string()}};
};

TEST_F(LauncherTest, CreatedLauncherIsValidFoundAgainAndRoundTripsItsProgram) {
    std::optional<std::string> existing;
    ASSERT_TRUE(launcher.Apply(existing, true, "", false, "<svg/>"));
    ASSERT_EQ(existing, Applications() + "/PIRELA.desktop");
    EXPECT_EQ(launcher.FindOwn(), existing);
    EXPECT_EQ(Launcher::DisplayName(*existing), "PIRELA");
    EXPECT_EQ(test::ReadFile(home / "icons/pirela.svg"), "<svg/>");

    const auto entry = ParseDesktopEntry(test::ReadFile(*existing));
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->type, "Application");
    EXPECT_EQ(ExecProgram(entry->exec), program.string());
}

TEST_F(LauncherTest, RenameMovesOursButNeverReplacesAnotherLauncher) {
    std::optional<std::string> existing = launcher.Create("My viewer", "");
    ASSERT_TRUE(existing);
    const std::string other = Applications() + "/Taken.desktop";
    test::WriteFile(other, OtherLauncher("/usr/bin/eog"));

    ASSERT_TRUE(launcher.Apply(existing, true, "Taken", true, ""));
    EXPECT_EQ(existing, Applications() + "/My viewer.desktop");
    EXPECT_EQ(test::ReadFile(other), OtherLauncher("/usr/bin/eog"));

    ASSERT_TRUE(launcher.Apply(existing, true, "Viewer", true, ""));
    EXPECT_EQ(existing, Applications() + "/Viewer.desktop");
    EXPECT_FALSE(fs::exists(Applications() + "/My viewer.desktop"));
    EXPECT_EQ(ParseDesktopEntry(test::ReadFile(*existing))->name, "Viewer");

    ASSERT_TRUE(launcher.Apply(existing, false, "Viewer", false, ""));
    EXPECT_FALSE(existing);
    EXPECT_FALSE(fs::exists(Applications() + "/Viewer.desktop"));
    EXPECT_TRUE(fs::exists(other));
}

TEST_F(LauncherTest, CreationRefusesSlashesAndNamesThatAreTaken) {
    std::optional<std::string> existing;
    EXPECT_FALSE(launcher.Apply(existing, true, "../escape", false, ""));
    EXPECT_FALSE(launcher.Apply(existing, true, "a/b", false, ""));
    EXPECT_FALSE(fs::exists(home / "escape.desktop"));
    EXPECT_FALSE(fs::exists(Applications() + "/a"));

    const std::string taken = Applications() + "/PIRELA.desktop";
    fs::create_directories(Applications());
    test::WriteFile(taken, "not ours");
    EXPECT_FALSE(launcher.Apply(existing, true, "", false, ""));
    EXPECT_EQ(test::ReadFile(taken), "not ours");
    EXPECT_FALSE(existing);
}

TEST_F(LauncherTest, OnlyAnExactMatchOfTheProgramCounts) {
    fs::create_directories(Applications());
    std::string upper = program.string();
    upper.back() = 'A'; // ".../pirelA": another program on a case-sensitive disk
    test::WriteFile(Applications() + "/a.desktop", OtherLauncher(upper.c_str()));
    test::WriteFile(Applications() + "/b.desktop", std::string(100 * 1024, '#') + "\n" +
                                                       ComposeLauncher("Big", program.string()));
    test::WriteFile(Applications() + "/c.desktop", "[Desktop Entry]\nExec=\"" + program.string());
    EXPECT_FALSE(launcher.FindOwn());
    EXPECT_FALSE(launcher.Remove(Applications() + "/a.desktop"));
    EXPECT_TRUE(fs::exists(Applications() + "/a.desktop"));
    // Unticked, a launcher that was not removed is not forgotten either.
    std::optional<std::string> kept = Applications() + "/a.desktop";
    launcher.Apply(kept, false, "", false, "");
    EXPECT_EQ(kept, Applications() + "/a.desktop");

    // The same program reached through a link is ours.
    fs::create_symlink(program.parent_path(), home / "link");
    test::WriteFile(Applications() + "/d.desktop", ComposeLauncher("Linked", (home / "link/pirela").string()));
    EXPECT_EQ(launcher.FindOwn(), Applications() + "/d.desktop");
}

} // namespace
} // namespace pirela
