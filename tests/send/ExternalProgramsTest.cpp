#include "send/ExternalPrograms.h"
#include "send/ProgramStarter.h"
#include "support/RecordingHost.h"

#include <gtest/gtest.h>

namespace pirela {
namespace {

OptionBlock WithPrograms(std::initializer_list<const char*> names) {
    OptionBlock options;
    options.programNames.fill({});
    options.programCommands.fill({});
    std::size_t slot = 0;
    for (const char* name : names) {
        options.programNames[slot] = name;
        options.programCommands[slot++] = std::string("/bin/") + name;
    }
    return options;
}

std::vector<std::string> Names(const OptionBlock& options) {
    std::vector<std::string> names;
    for (const std::string& name : options.programNames) {
        names.push_back(name);
    }
    while (!names.empty() && names.back().empty()) {
        names.pop_back();
    }
    return names;
}

TEST(ExternalProgramsTest, ListOperationsKeepOrderAndSlots) {
    OptionBlock options = WithPrograms({"A", "B", "C", "D"});
    options.programNames[5] = "stray"; // after an empty slot: not part of the list
    ExternalPrograms programs = ExternalPrograms::FromOptions(options);
    ASSERT_EQ(programs.Count(), 4);

    programs.MoveToTop(2);
    programs.Remove(3);
    programs.StoreInto(options);
    EXPECT_EQ(Names(options), (std::vector<std::string>{"C", "A", "B"}));
    EXPECT_EQ(options.programCommands[0], "/bin/C");
    EXPECT_EQ(options.programCommands[3], "");
    EXPECT_EQ(programs.ListLines()[0], "C - /bin/C");

    programs.Remove(0);
    EXPECT_EQ(programs.At(0).name, "A");
    EXPECT_EQ(programs.At(1).name, "B");
}

TEST(ExternalProgramsTest, FullListDropsTheEighthForANewFirstAndRefusesAppending) {
    ExternalPrograms programs =
        ExternalPrograms::FromOptions(WithPrograms({"1", "2", "3", "4", "5", "6", "7", "8"}));
    ASSERT_TRUE(programs.IsFull());
    programs.Append({"9", "/bin/9"});
    programs.InsertAtTop({"new", "/opt/new"});
    EXPECT_EQ(programs.Count(), 8);
    EXPECT_EQ(programs.At(0).name, "new");
    EXPECT_EQ(programs.At(7).name, "7");
}

TEST(ExternalProgramsTest, NameIsTheWholeFileNameWithoutAWindowsSuffix) {
    EXPECT_EQ(ExternalPrograms::NameFromPath("/usr/bin/python3.11"), "python3.11");
    EXPECT_EQ(ExternalPrograms::NameFromPath("/opt/org.gnome.eog"), "org.gnome.eog");
    EXPECT_EQ(ExternalPrograms::NameFromPath("/mnt/c/Tools/viewer.exe"), "viewer");
}

class ProgramStarterTest : public ::testing::Test {
protected:
    AppSettings settings;
    test::RecordingHost host;
    ProgramStarter starter{settings, host, host, host};
};

TEST_F(ProgramStarterTest, ASuccessfulStartMovesTheProgramFirstAndRebuildsTheMenu) {
    settings.options = WithPrograms({"A", "B", "C", "D"});
    starter.Run(2, "/p/a b.jpg");
    EXPECT_EQ(host.calls, (std::vector<std::string>{"start /bin/C /p/a b.jpg", "program menu"}));
    EXPECT_EQ(Names(settings.options), (std::vector<std::string>{"C", "A", "B", "D"}));

    host.Clear();
    starter.Run(0, "/p/x.png"); // item 1 now starts C
    EXPECT_EQ(host.calls.front(), "start /bin/C /p/x.png");
}

TEST_F(ProgramStarterTest, AFailedStartTellsTheUserAndKeepsTheOrder) {
    settings.options = WithPrograms({"A", "B", "C"});
    host.desktopSucceeds = false;
    starter.Run(1, "/p/a.jpg");
    EXPECT_EQ(Names(settings.options), (std::vector<std::string>{"A", "B", "C"}));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], "/p/a.jpg を B で開くのに失敗しました。"
                                "プログラムのパスまたはコマンドが正しいか確認してください。");
    EXPECT_EQ(host.icons[0], MessageIcon::Warning);
    EXPECT_EQ(host.captions[0], "Pirela");
}

TEST_F(ProgramStarterTest, AChosenProgramJoinsFirstEvenWhenItFailsToStart) {
    settings.options = WithPrograms({"1", "2", "3", "4", "5", "6", "7", "8"});
    host.desktopSucceeds = false;
    starter.RunChosen("/opt/tools/view.er", "/p/a.jpg");
    EXPECT_EQ(settings.options.programNames[0], "view.er");
    EXPECT_EQ(settings.options.programCommands[0], "/opt/tools/view.er");
    EXPECT_EQ(settings.options.programNames[7], "7");
    EXPECT_EQ(settings.options.programNames[8], "");
    EXPECT_EQ(settings.lastOpenApp, "/opt/tools");
    EXPECT_EQ(host.calls, (std::vector<std::string>{"program menu", "start /opt/tools/view.er /p/a.jpg",
                                                    "message"}));
    EXPECT_NE(host.messages[0].find(" を view.er で開くのに失敗しました。"), std::string::npos);
}

} // namespace
} // namespace pirela
