#include "view/MenuTexts.h"

#include <gtest/gtest.h>

namespace pirela {
namespace {

TEST(MenuTextsTest, DestinationItemsNameTheFoldersLastPart) {
    EXPECT_EQ(DestinationItemText(3, "/home/me/Photos/Cats"), "&3 Cats へ");
    EXPECT_EQ(DestinationItemText(2, "/"), "&2 / へ");
    EXPECT_EQ(DestinationItemText(1, ""), "&1 (未設定)");
    EXPECT_EQ(DestinationItemText(8, "/mnt/写真/"), "&8 /mnt/写真/ へ");
}

TEST(MenuTextsTest, ExplorerItemsNameTheFolderOrSayItIsNotSet) {
    EXPECT_EQ(ExplorerItemText(3, "/home/me/Cats"), "&3 Cats を開く");
    EXPECT_EQ(ExplorerItemText(2, "/"), "&2 / を開く");
    EXPECT_EQ(ExplorerItemText(4, "/mnt/disk/"), "&4 disk/ を開く");
    EXPECT_EQ(ExplorerItemText(1, ""), "&1 フォルダ (未設定)");
    EXPECT_EQ(ExplorerItemText(5, "/a/" + std::string(201, 'x')), "&5  を開く");
    EXPECT_EQ(ExplorerItemText(5, "/a/" + std::string(200, 'x')), "&5 " + std::string(200, 'x') + " を開く");
}

TEST(MenuTextsTest, SendBarButtonsNameTheFolderAndAmpersandsStayLiteral) {
    EXPECT_EQ(SendBarCaption(3, "/home/me/photos/cats"), "&3 cats");
    EXPECT_EQ(SendBarCaption(5, "/"), "&5 /");
    EXPECT_EQ(SendBarCaption(1, ""), "&1 (未設定)");
    EXPECT_EQ(SendBarToolTip("/home/me/photos/cats"), "/home/me/photos/cats へ送る");
    EXPECT_EQ(SendBarToolTip(""), "未設定");
    EXPECT_EQ(SendBarCaption(2, "/work/R&D"), "&2 R&&D");
    EXPECT_EQ(SendBarToolTip("/work/R&D"), "/work/R&D へ送る");
    EXPECT_EQ(DestinationItemText(2, "/work/R&D"), "&2 R&&D へ");
    EXPECT_EQ(ExplorerItemText(2, "/work/&&"), "&2 &&&& を開く");
}

TEST(MenuTextsTest, ProgramItemsStopAtTheFirstEmptyName) {
    std::array<std::string, 10> names{"ペイント", "GIMP", "", "Krita"};
    EXPECT_EQ(ProgramItemTexts(names), (std::vector<std::string>{"&1 ペイント", "&2 GIMP"}));
    names = {};
    EXPECT_TRUE(ProgramItemTexts(names).empty());
    names.fill("x");
    EXPECT_EQ(ProgramItemTexts(names).size(), 8u);
}

} // namespace
} // namespace pirela
