#include "settings/IniFile.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>

namespace pirela {
namespace {

TEST(IniFileTest, ReadsByTheClassicProfileRules) {
    const IniFile ini = IniFile::Parse("ORPHAN=before any section\r\n"
                                       "[Window]\r\n"
                                       "  Left = 12  \r\n"
                                       "left=99\r\n"
                                       "Quoted=\"  spaced  \"\r\n"
                                       "Single='x'\r\n"
                                       "Mismatched=\"x'\r\n"
                                       "Equation=a=b=c\r\n"
                                       "Empty=\r\n"
                                       "[ window ]\r\n"
                                       "TOP=5\r\n");
    EXPECT_EQ(ini.GetString("WINDOW", "LEFT"), "12"); // case and blanks ignored, first one wins
    EXPECT_EQ(ini.GetString("WINDOW", "Quoted"), "  spaced  ");
    EXPECT_EQ(ini.GetString("WINDOW", "Single"), "x");
    EXPECT_EQ(ini.GetString("WINDOW", "Mismatched"), "\"x'");
    EXPECT_EQ(ini.GetString("WINDOW", "Equation"), "a=b=c");
    EXPECT_EQ(ini.GetString("WINDOW", "Empty"), "");
    EXPECT_EQ(ini.GetString("WINDOW", "TOP"), std::nullopt); // only in the second, ignored copy
    EXPECT_EQ(ini.GetString("WINDOW", "ORPHAN"), std::nullopt);
    EXPECT_EQ(ini.GetString("OPTIONS", "LEFT"), std::nullopt);
}

TEST(IniFileTest, ReadsIntegersAsAtoiDoes) {
    const IniFile ini = IniFile::Parse("[S]\n"
                                       "Trailing=12abc\nLetters=abc\nNegative=-32000\n"
                                       "Plus= +7\nHuge=99999999999\nHugeNegative=-99999999999\n"
                                       "Empty=\nMinimum=-2147483648\n");
    EXPECT_EQ(ini.GetInt("S", "Trailing"), 12);
    EXPECT_EQ(ini.GetInt("S", "Letters"), 0);
    EXPECT_EQ(ini.GetInt("S", "Negative"), -32000);
    EXPECT_EQ(ini.GetInt("S", "Plus"), 7);
    EXPECT_EQ(ini.GetInt("S", "Huge"), INT_MAX);
    EXPECT_EQ(ini.GetInt("S", "HugeNegative"), INT_MIN);
    EXPECT_EQ(ini.GetInt("S", "Minimum"), INT_MIN);
    EXPECT_EQ(ini.GetInt("S", "Empty"), 0);
    EXPECT_EQ(ini.GetInt("S", "Absent"), std::nullopt);
}

TEST(IniFileTest, CutsLongValuesWithoutSplittingACharacter) {
    const std::string longAscii(5000, 'a');
    const std::string splitKana = std::string(4094, 'b') + "あ"; // the kana straddles the limit
    const IniFile ini = IniFile::Parse("[S]\nA=" + longAscii + "\nB=" + splitKana + "\n");
    EXPECT_EQ(ini.GetString("S", "A"), std::string(4095, 'a'));
    EXPECT_EQ(ini.GetString("S", "B"), std::string(4094, 'b'));
}

TEST(IniFileTest, WritingChangesOnlyTheValuesItSets) {
    IniFile ini = IniFile::Parse("\xEF\xBB\xBF; written by hand\n"
                                 "[WINDOW]\n"
                                 "left=1\n"
                                 "Custom=kept\n"
                                 "\n"
                                 "[TOOLBAR-Summary]\n"
                                 "Bars=3\n");
    ini.SetInt("WINDOW", "LEFT", -5);
    ini.SetInt("WINDOW", "TOP", 7);
    ini.SetString("SENDTO", "FOLDER1", "/home/me/写真");
    EXPECT_EQ(ini.Serialize(), "\xEF\xBB\xBF; written by hand\n"
                               "[WINDOW]\n"
                               "LEFT=-5\n"
                               "Custom=kept\n"
                               "TOP=7\n"
                               "\n"
                               "[TOOLBAR-Summary]\n"
                               "Bars=3\n"
                               "[SENDTO]\n"
                               "FOLDER1=/home/me/写真\n");
}

TEST(IniFileTest, EveryWrittenValueReadsBackAsWritten) {
    IniFile ini;
    const std::string values[] = {" leading", "trailing\t", "\"quoted\"", "'single'", "a=b",
                                  "日本語のフォルダ", ""};
    for (const std::string& value : values) {
        ini.SetString("S", "K", value);
        EXPECT_EQ(IniFile::Parse(ini.Serialize()).GetString("S", "K"), value) << value;
    }
}

TEST(IniFileTest, OnlyTheFirstByteOrderMarkIsAMark) {
    IniFile ini = IniFile::Parse("\xEF\xBB\xBF\xEF\xBB\xBF[SENDTO]\nFOLDER1=old\n");
    ini.SetString("SENDTO", "FOLDER1", "new"); // a new section: the first header is not one
    EXPECT_EQ(IniFile::Parse(ini.Serialize()).GetString("SENDTO", "FOLDER1"), "new");
}

TEST(IniFileTest, ALineBreakInAValueCannotInjectKeys) {
    IniFile ini;
    ini.SetString("SENDTO", "FOLDER1", "/tmp/evil\n[OPTIONS]\nSENDTYPE=0");
    const IniFile reread = IniFile::Parse(ini.Serialize());
    EXPECT_EQ(reread.GetString("SENDTO", "FOLDER1"), "");
    EXPECT_EQ(reread.GetString("OPTIONS", "SENDTYPE"), std::nullopt);
}

TEST(IniFileTest, SurvivesGarbageAndHugeInput) {
    std::mt19937 random(42);
    std::string garbage(1 << 20, '\0');
    for (char& c : garbage) {
        c = static_cast<char>(random());
    }
    IniFile ini = IniFile::Parse(garbage);
    ini.SetInt("OPTIONS", "RATE", 50);
    EXPECT_EQ(IniFile::Parse(ini.Serialize()).GetInt("OPTIONS", "RATE"), 50);

    std::string huge = "[OPTIONS]\n";
    while (huge.size() < 10 * 1024 * 1024) {
        huge += "JUNK" + std::to_string(huge.size()) + "=" + std::string(100, 'x') + "\n";
    }
    huge += "RATE=25\n";
    EXPECT_EQ(IniFile::Parse(huge).GetInt("OPTIONS", "RATE"), 25);
    EXPECT_EQ(IniFile::Parse(std::string(10 * 1024 * 1024, 'z')).GetInt("OPTIONS", "RATE"),
              std::nullopt);
}

} // namespace
} // namespace pirela
