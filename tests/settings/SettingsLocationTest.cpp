#include "settings/SettingsLocation.h"

#include "app/HelpFile.h"

#include "platform/FileAccess.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace pirela {
namespace {

TEST(SettingsLocationTest, BesideTheProgramOnlyWhenItsFolderIsWritable) {
    test::TempDir dir;
    const auto portable = dir / "portable";
    const auto installed = dir / "installed";
    const auto config = dir / "config";
    std::filesystem::create_directory(portable);
    std::filesystem::create_directory(installed);
    ::chmod(installed.c_str(), 0555);

    EXPECT_EQ(ChooseSettingsFile(portable, config, IsWritableFolder), portable / "pirela.ini");
    EXPECT_EQ(ChooseSettingsFile(installed, config, IsWritableFolder), config / "pirela.ini");
    EXPECT_EQ(ChooseSettingsFile(dir / "vanished", config, IsWritableFolder),
              config / "pirela.ini");
}

TEST(SettingsLocationTest, AnInstalledCopyKeepsItsSettingsInTheUsersFolderEvenWhenItsFolderIsWritable) {
    test::TempDir dir;
    const auto bin = dir / "usr" / "bin";
    std::filesystem::create_directories(bin);
    std::filesystem::create_directories(dir / "usr" / "share" / "pirela");
    EXPECT_EQ(ChooseSettingsFile(bin, dir / "config", IsWritableFolder),
              dir / "config" / "pirela.ini");
}

TEST(SettingsLocationTest, TheHelpPageIsFoundBesideTheProgramFirstThenWhereItIsInstalled) {
    test::TempDir dir;
    const auto bin = dir / "usr" / "bin";
    const auto data = dir / "usr" / "share" / "pirela";
    std::filesystem::create_directories(bin);
    EXPECT_EQ(FindHelpFile(bin), bin / "pirela.html"); // missing: named for the message
    std::filesystem::create_directories(data);
    test::WriteFile(data / "pirela.html", "<html></html>");
    EXPECT_EQ(FindHelpFile(bin), dir / "usr" / "share" / "pirela" / "pirela.html");
    test::WriteFile(bin / "pirela.html", "<html></html>");
    EXPECT_EQ(FindHelpFile(bin), bin / "pirela.html");
}

} // namespace
} // namespace pirela
