#include "settings/SettingsStore.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <random>
#include <string>
#include <vector>

namespace pirela {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

SettingsEnvironment Screen1920() {
    return SettingsEnvironment{1920, 1080, "/home/me/Documents", "/usr/bin", {}};
}

AppSettings LoadFromText(const std::string& text) {
    return SettingsFromIni(IniFile::Parse(text), Screen1920());
}

// The "SECTION.KEY" names of a settings file, in the order the file lists them.
std::vector<std::string> KeysInOrder(const std::string& text) {
    std::vector<std::string> keys;
    std::string section;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.front() == '[') {
            section = line.substr(1, line.size() - 2);
        } else if (line.find('=') != std::string::npos) {
            keys.push_back(section + "." + line.substr(0, line.find('=')));
        }
    }
    return keys;
}

TEST(SettingsStoreTest, WithoutAFileEverySettingTakesItsDefault) {
    TempDir dir;
    const AppSettings s = SettingsStore(dir / "pirela.ini").Load(Screen1920());
    EXPECT_EQ(s.mainWindow, (WindowRect{0, 0, 1440, 810}));
    EXPECT_EQ(s.fileListWindow, (WindowRect{0, 0, 220, 220}));
    EXPECT_EQ(s.fileListVisible, 1);
    EXPECT_EQ(s.options.rate, -1.0f);
    EXPECT_EQ(s.options.sendType, 1);
    EXPECT_EQ(s.options.ask, 1);
    EXPECT_EQ(s.options.programNames[0], ""); // the environment names no image editor
    EXPECT_EQ(s.options.centreImage, 1);
    EXPECT_EQ(s.options.openLast, 1);
    EXPECT_EQ(s.destinationFolders[0], "/home/me/Documents");
    EXPECT_EQ(s.destinationFolders[1], "");
    EXPECT_EQ(s.options.bgColor, 0xFFFFFF);
    EXPECT_EQ(s.options.bgColorType, 0);
    EXPECT_EQ(s.lastOpen, "/home/me/Documents");
    EXPECT_EQ(s.lastOpenApp, "/usr/bin");
    EXPECT_EQ(s.lastSelectFolder, "");
}

TEST(SettingsStoreTest, TheFirstProgramIsTheDesktopsEditorOnlyForANewFile) {
    int asked = 0;
    SettingsEnvironment environment = Screen1920();
    environment.defaultProgram = [&asked] {
        ++asked;
        return std::optional<std::pair<std::string, std::string>>({"GIMP 画像エディター", "gimp"});
    };
    const AppSettings fresh = SettingsFromIni(IniFile::Parse(""), environment);
    EXPECT_EQ(fresh.options.programNames[0], "GIMP 画像エディター");
    EXPECT_EQ(fresh.options.programCommands[0], "gimp");
    // A list the user emptied stays empty, and the desktop is not asked at all.
    const AppSettings emptied =
        SettingsFromIni(IniFile::Parse("[OPTIONS]\nPROGRAMNAME1=\nPROGRAMCOMMAND1=\n"), environment);
    EXPECT_EQ(emptied.options.programNames[0], "");
    EXPECT_EQ(asked, 1);
}

TEST(SettingsStoreTest, EverySettingSurvivesASaveAndALoad) {
    TempDir dir;
    AppSettings s;
    s.mainWindow = {10, 20, 700, 500};
    s.mainWindowMaximized = 1;
    s.fileListWindow = {30, 40, 200, 300};
    s.fileListVisible = 0;
    s.options.sendType = 0;
    s.options.ask = 0;
    s.options.bgColorType = 1;
    s.options.bgColor = 0x123456;
    s.options.findSubfolder = 1;
    s.options.findHidden = 1;
    s.options.changeFileName = 1;
    s.options.rate = -1;
    s.options.keepTurnState = 1;
    for (int i = 0; i < kStoredProgramSlots; ++i) {
        s.options.programNames[i] = "プログラム" + std::to_string(i);
        s.options.programCommands[i] = "/opt/bin/tool" + std::to_string(i);
    }
    for (int i = 0; i < kDestinationCount; ++i) {
        s.destinationFolders[i] = "/home/me/送り先 " + std::to_string(i);
    }
    s.lastOpen = "/a";
    s.lastOpenApp = "/b";
    s.lastSelectFolder = " /c ";
    s.lastOpenOtherFolder = "/d";
    s.options.centreImage = 0;
    s.options.openLast = 0;
    s.lastViewFolder = "/e";
    s.lastViewImage = "/e/f.jpg";

    SettingsStore store(dir / "pirela.ini");
    ASSERT_EQ(SaveOutcome::Saved, store.Save(s));
    const AppSettings loaded = store.Load(Screen1920());
    EXPECT_EQ(loaded.mainWindow, s.mainWindow);
    EXPECT_EQ(loaded.mainWindowMaximized, 1);
    EXPECT_EQ(loaded.fileListWindow, s.fileListWindow);
    EXPECT_EQ(loaded.fileListVisible, 0);
    EXPECT_EQ(loaded.options.sendType, 0);
    EXPECT_EQ(loaded.options.ask, 0);
    EXPECT_EQ(loaded.options.bgColorType, 1);
    EXPECT_EQ(loaded.options.bgColor, 0x123456);
    EXPECT_EQ(loaded.options.findSubfolder, 1);
    EXPECT_EQ(loaded.options.findHidden, 1);
    EXPECT_EQ(loaded.options.changeFileName, 1);
    EXPECT_EQ(loaded.options.rate, -1.0f);
    EXPECT_EQ(loaded.options.keepTurnState, 1);
    EXPECT_EQ(loaded.options.programNames, s.options.programNames);
    EXPECT_EQ(loaded.options.programCommands, s.options.programCommands);
    EXPECT_EQ(loaded.destinationFolders, s.destinationFolders);
    EXPECT_EQ(loaded.lastOpen, "/a");
    EXPECT_EQ(loaded.lastOpenApp, "/b");
    EXPECT_EQ(loaded.lastSelectFolder, " /c ");
    EXPECT_EQ(loaded.lastOpenOtherFolder, "/d");
    EXPECT_EQ(loaded.options.centreImage, 0);
    EXPECT_EQ(loaded.options.openLast, 0);
    EXPECT_EQ(loaded.lastViewFolder, "/e");
    EXPECT_EQ(loaded.lastViewImage, "/e/f.jpg");
}

TEST(SettingsStoreTest, ASaveWritesAll56KeysInTheirOrder) {
    IniFile ini;
    AppSettings s;
    s.options.programNames[8] = "slot 9 lives in memory only";
    WriteSettingsToIni(s, ini);
    std::vector<std::string> expected{
        "WINDOW.TOP",         "WINDOW.RIGHT",         "WINDOW.BOTTOM",
        "WINDOW.LEFT",        "WINDOW.MAX",           "FILELISTWINDOW.TOP",
        "FILELISTWINDOW.RIGHT", "FILELISTWINDOW.BOTTOM", "FILELISTWINDOW.LEFT",
        "FILELISTWINDOW.VIEW", "OPTIONS.ASK",         "OPTIONS.BGCOLORTYPE",
        "OPTIONS.SENDTYPE",   "OPTIONS.FINDHIDDEN",   "OPTIONS.FINDSUBFOLDER",
        "OPTIONS.BGCOLOR",    "OPTIONS.RATE",         "OPTIONS.CHANGEFILENAME",
        "OPTIONS.KEEPTURNSTATE"};
    for (int i = 1; i <= 8; ++i) {
        expected.push_back("OPTIONS.PROGRAMNAME" + std::to_string(i));
        expected.push_back("OPTIONS.PROGRAMCOMMAND" + std::to_string(i));
    }
    expected.push_back("OPTIONS.APPLYORIENTATION");
    expected.push_back("OPTIONS.FINDNEWFORMATS");
    expected.push_back("OPTIONS.CENTERIMAGE");
    expected.push_back("OPTIONS.OPENLAST");
    expected.push_back("OPTIONS.SORTORDER");
    expected.push_back("OPTIONS.COLORPROFILE");
    expected.push_back("OPTIONS.PLAYANIMATION");
    for (int i = 1; i <= 8; ++i) {
        expected.push_back("SENDTO.FOLDER" + std::to_string(i));
    }
    for (const char* key : {"LASTOPEN", "LASTOPENAPP", "LASTSELECTFOLDER", "LASTOPENOTHERFOLDER"}) {
        expected.push_back(std::string("FILEDIALOG.") + key);
    }
    expected.push_back("LASTVIEW.FOLDER");
    expected.push_back("LASTVIEW.IMAGE");
    ASSERT_EQ(expected.size(), 56u);
    EXPECT_EQ(KeysInOrder(ini.Serialize()), expected);
    EXPECT_NE(ini.Serialize().find("PROGRAMNAME2=\n"), std::string::npos); // empty, yet present
}

TEST(SettingsStoreTest, WindowRectanglesAreClampedToTheScreen) {
    const AppSettings minimised = LoadFromText("[WINDOW]\nLEFT=-32000\nTOP=-32000\n"
                                               "RIGHT=-31840\nBOTTOM=-31970\n");
    EXPECT_EQ(minimised.mainWindow, (WindowRect{0, 0, -31840, -31970}));
    // No width is left: the window opens at the default place instead of out of sight.
    EXPECT_EQ(UsableMainWindowRect(minimised.mainWindow, 1920, 1080),
              (WindowRect{0, 0, 1440, 810}));

    const AppSettings largerScreen = LoadFromText("[WINDOW]\nLEFT=2000\nTOP=1100\n"
                                                  "RIGHT=2560\nBOTTOM=1440\n"
                                                  "[FILELISTWINDOW]\nLEFT=3000\nTOP=-4\n"
                                                  "RIGHT=3200\nBOTTOM=1500\n");
    EXPECT_EQ(largerScreen.mainWindow, (WindowRect{0, 0, 1920, 1080}));
    EXPECT_EQ(largerScreen.fileListWindow, (WindowRect{3000, 0, 1920, 1080}));

    const WindowRect fits{100, 50, 900, 650};
    EXPECT_EQ(UsableMainWindowRect(fits, 1920, 1080), fits);
}

TEST(SettingsStoreTest, RatesAreWholeInTheFileHeldInTheirRangeAndOddValuesAreKept) {
    for (float rate : {-1.0f, 0.0f, 400.0f}) {
        AppSettings s;
        s.options.rate = rate;
        IniFile ini;
        WriteSettingsToIni(s, ini);
        EXPECT_EQ(SettingsFromIni(ini, Screen1920()).options.rate, rate);
    }
    AppSettings fractional;
    fractional.options.rate = -0.5f;
    IniFile ini;
    WriteSettingsToIni(fractional, ini);
    EXPECT_EQ(ini.GetInt("OPTIONS", "RATE"), 0); // toward zero

    // A rate beyond the largest zoom would overflow every draw size and the zoom pane.
    EXPECT_EQ(LoadFromText("[OPTIONS]\nRATE=1000000000\n").options.rate, 400.0f);
    EXPECT_EQ(LoadFromText("[OPTIONS]\nRATE=401\n").options.rate, 400.0f);
    EXPECT_EQ(LoadFromText("[OPTIONS]\nRATE=-5\n").options.rate, -1.0f);

    const AppSettings odd = LoadFromText("[OPTIONS]\nSENDTYPE=7\nRATE=33\nBGCOLOR=-1\n"
                                         "ASK=12abc\nFINDHIDDEN=99999999999\n");
    EXPECT_EQ(odd.options.sendType, 7);
    EXPECT_EQ(odd.options.rate, 33.0f);
    EXPECT_EQ(odd.options.bgColor, -1);
    EXPECT_EQ(odd.options.ask, 12);
    EXPECT_EQ(odd.options.findHidden, 2147483647);
}

TEST(SettingsStoreTest, ProgramSlotsLoadEvenPastAGap) {
    const AppSettings s = LoadFromText("[OPTIONS]\nPROGRAMNAME1=GIMP\nPROGRAMCOMMAND1=gimp\n"
                                       "PROGRAMNAME2=\nPROGRAMNAME3=Krita\n"
                                       "PROGRAMCOMMAND3=krita\n");
    EXPECT_EQ(s.options.programNames[1], "");
    EXPECT_EQ(s.options.programNames[2], "Krita");
    EXPECT_EQ(s.options.programCommands[2], "krita");
}

TEST(SettingsStoreTest, SavingKeepsWhatOthersWroteInTheFile) {
    TempDir dir;
    const auto file = dir / "pirela.ini";
    WriteFile(file, "[TOOLBAR-Summary]\nBars=3\n[OPTIONS]\nRATE=50\nFUTUREKEY=yes\n");
    SettingsStore store(file);
    AppSettings s = store.Load(Screen1920());
    EXPECT_EQ(s.options.rate, 50.0f);
    s.options.rate = 200;
    ASSERT_EQ(SaveOutcome::Saved, store.Save(s));
    const IniFile saved = IniFile::Parse(ReadFile(file));
    EXPECT_EQ(saved.GetString("TOOLBAR-Summary", "Bars"), "3");
    EXPECT_EQ(saved.GetString("OPTIONS", "FUTUREKEY"), "yes");
    EXPECT_EQ(saved.GetInt("OPTIONS", "RATE"), 200);
}

// Two Pirelas on one settings file: each writes only what it changed, so neither undoes the
// other's save.
TEST(SettingsStoreTest, TwoInstancesKeepEachOthersChanges) {
    TempDir dir;
    const auto file = dir / "pirela.ini";
    SettingsStore first(file);
    SettingsStore second(file);
    AppSettings one = first.Load(Screen1920());
    AppSettings two = second.Load(Screen1920());
    one.options.rate = 200;
    ASSERT_EQ(first.Save(one), SaveOutcome::Saved);
    two.destinationFolders[1] = "/photos";
    ASSERT_EQ(second.Save(two), SaveOutcome::Saved);
    const AppSettings both = SettingsStore(file).Load(Screen1920());
    EXPECT_EQ(both.options.rate, 200.0f);
    EXPECT_EQ(both.destinationFolders[1], "/photos");
}

TEST(SettingsStoreTest, TheTemporariesOfACutSaveGoAtTheNextStart) {
    TempDir dir;
    for (const char* name : {".pirela.ini.a1B2c3", ".pirela.ini.keep", "pirela.ini"}) {
        WriteFile(dir / name, "x");
    }
    SettingsStore(dir / "pirela.ini").RemoveLeftovers();
    EXPECT_FALSE(std::filesystem::exists(dir / ".pirela.ini.a1B2c3"));
    EXPECT_TRUE(std::filesystem::exists(dir / ".pirela.ini.keep"));
    EXPECT_TRUE(std::filesystem::exists(dir / "pirela.ini"));
}

TEST(SettingsStoreTest, GarbageFilesLoadAsDefaultsAndAreNotLost) {
    TempDir dir;
    std::mt19937 random(7);
    std::string garbage(64 * 1024, '\0');
    for (char& c : garbage) {
        c = static_cast<char>(random() % 200);
        if (c == '\r') {
            c = '\n'; // line ends are written as LF, so a lone CR would not come back
        }
    }
    for (const std::string& content : {std::string(), garbage}) {
        const auto file = dir / "pirela.ini";
        WriteFile(file, content);
        SettingsStore store(file);
        const AppSettings s = store.Load(Screen1920());
        EXPECT_EQ(s.options.rate, -1.0f);
        ASSERT_EQ(SaveOutcome::Saved, store.Save(s));
        EXPECT_TRUE(ReadFile(file).substr(0, content.size()) == content);
    }
}

TEST(SettingsStoreTest, AReadOnlyFileOrFolderIsLeftAlone) {
    TempDir dir;
    const auto file = dir / "pirela.ini";
    WriteFile(file, "[OPTIONS]\nRATE=50\n");
    ::chmod(file.c_str(), 0444);
    AppSettings s;
    s.options.rate = 25;
    EXPECT_EQ(SettingsStore(file).Save(s), SaveOutcome::Kept); // its owner's wish: nothing said
    EXPECT_EQ(ReadFile(file), "[OPTIONS]\nRATE=50\n");

    const auto lockedFolder = dir / "locked";
    std::filesystem::create_directory(lockedFolder);
    ::chmod(lockedFolder.c_str(), 0555);
    EXPECT_EQ(SettingsStore(lockedFolder / "pirela.ini").Save(s), SaveOutcome::Failed);
    EXPECT_FALSE(std::filesystem::exists(lockedFolder / "pirela.ini"));
}

TEST(SettingsStoreTest, AnUnreadableFileIsNeverOverwritten) {
    TempDir dir;
    const auto notAFile = dir / "pirela.ini";
    std::filesystem::create_directory(notAFile);
    WriteFile(notAFile / "inside", "precious");
    SettingsStore store(notAFile);
    const AppSettings s = store.Load(Screen1920());
    EXPECT_EQ(s.options.rate, -1.0f);
    EXPECT_TRUE(store.FileUnreadable());
    EXPECT_EQ(store.Save(s), SaveOutcome::Kept);
    EXPECT_EQ(ReadFile(notAFile / "inside"), "precious");
}

TEST(SettingsStoreTest, ASaveCreatesTheConfigurationFolder) {
    TempDir dir;
    const auto file = dir / "config" / "pirela" / "pirela.ini";
    ASSERT_EQ(SettingsStore(file).Save(AppSettings{}), SaveOutcome::Saved);
    EXPECT_TRUE(std::filesystem::is_regular_file(file));
}

} // namespace
} // namespace pirela
