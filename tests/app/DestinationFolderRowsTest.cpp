#include "app/DestinationFolderRows.h"

#include "support/RecordingHost.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace pirela {
namespace {

TEST(DestinationFolderRowsTest, AcceptsOnlyEmptyOrAbsoluteEnterableFolders) {
    test::TempDir dir;
    test::WriteFile(dir / "file.jpg", "x");
    EXPECT_TRUE(IsAcceptableDestination(""));
    EXPECT_TRUE(IsAcceptableDestination(dir.Path().string()));
    EXPECT_TRUE(IsAcceptableDestination("/"));
    EXPECT_FALSE(IsAcceptableDestination((dir / "file.jpg").string()));
    EXPECT_FALSE(IsAcceptableDestination((dir / "missing").string()));
    // "." is a folder wherever Pirela runs, yet it means another one in every run.
    EXPECT_FALSE(IsAcceptableDestination("."));
    EXPECT_FALSE(IsAcceptableDestination("pics"));
}

TEST(DestinationFolderRowsTest, StoresTheGoodRowsAndNamesEachBadOneInRowOrder) {
    test::TempDir dir;
    const std::string good = dir.Path().string();
    DestinationRows destinations{"/old1", "/old2", "/old3", "/old4", "/old5", "/old6", "/old7", "/old8"};
    // A folder with a line break exists, but the settings file could not keep its name.
    const std::string broken = (dir / "a\nb").string();
    std::filesystem::create_directory(broken);
    const DestinationRows rows{good, ".", "", (dir / "gone").string(), good, good, good, broken};
    test::RecordingHost host;
    EXPECT_FALSE(StoreAcceptableDestinations(rows, destinations, host));
    EXPECT_EQ(
        host.messages,
        (std::vector<std::string>{
            "指定したフォルダ . は無効です。フォルダが存在するかどうか確認してください。",
            "指定したフォルダ " + (dir / "gone").string() +
                " は無効です。フォルダが存在するかどうか確認してください。",
            "フォルダ " + broken + " の名前には改行が含まれているため、送り先に指定できません。"}));
    EXPECT_EQ(host.icons, std::vector<MessageIcon>(3, MessageIcon::Warning));
    EXPECT_EQ(host.captions, std::vector<std::string>(3, "Pirela"));
    EXPECT_EQ(destinations,
              (DestinationRows{good, "/old2", "", "/old4", good, good, good, "/old8"}));

    host.messages.clear();
    EXPECT_TRUE(StoreAcceptableDestinations(DestinationRows{}, destinations, host));
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(destinations, DestinationRows{});
}

} // namespace
} // namespace pirela
