#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace pirela {
namespace {

TEST(CommandLineTest, TheFirstArgumentThatIsNoOptionIsThePath) {
    EXPECT_EQ(ParseCommandLine({}).pathToOpen, "");
    EXPECT_EQ(ParseCommandLine({"/home/me/pics"}).pathToOpen, "/home/me/pics");
    EXPECT_EQ(ParseCommandLine({"-x", "a.jpg", "b.jpg"}).pathToOpen, "a.jpg");
    EXPECT_EQ(ParseCommandLine({"-a.jpg"}).pathToOpen, "");
    EXPECT_EQ(ParseCommandLine({"--", "-a.jpg", "b.jpg"}).pathToOpen, "-a.jpg");
}

TEST(CommandLineTest, PathsAreMadeAbsoluteKeepingTheirBytes) {
    const std::string here = std::filesystem::current_path().string();
    EXPECT_EQ(AbsoluteCommandLinePath("pics/../caf\xE9.bmp"), here + "/caf\xE9.bmp");
    EXPECT_EQ(AbsoluteCommandLinePath("/home/me/pics/"), "/home/me/pics");
    EXPECT_EQ(AbsoluteCommandLinePath("/home/./me/../"), "/home");
    EXPECT_EQ(AbsoluteCommandLinePath("/"), "/");
}

TEST(CommandLineTest, HelpAndVersionAreRecognised) {
    const CommandLine help = ParseCommandLine({"pics", "--help"});
    EXPECT_TRUE(help.showHelp);
    EXPECT_FALSE(help.showVersion);
    EXPECT_TRUE(ParseCommandLine({"--version"}).showVersion);
    EXPECT_FALSE(ParseCommandLine({"--", "--help"}).showHelp);
}

} // namespace
} // namespace pirela
