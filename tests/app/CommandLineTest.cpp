#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace pirela {
namespace {

TEST(CommandLineTest, TheFirstArgumentThatIsNoOptionIsThePath) {
    EXPECT_EQ(ParseCommandLine({}).pathToOpen, "");
    EXPECT_EQ(ParseCommandLine({"/home/me/pics"}).pathToOpen, "/home/me/pics");
    EXPECT_EQ(ParseCommandLine({"-x", "a.jpg", "b.jpg"}).pathToOpen, "a.jpg");
    EXPECT_EQ(ParseCommandLine({"-a.jpg"}).pathToOpen, "");
    EXPECT_EQ(ParseCommandLine({"--", "-a.jpg", "b.jpg"}).pathToOpen, "-a.jpg");
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
