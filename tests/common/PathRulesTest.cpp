#include "common/PathRules.h"

#include <gtest/gtest.h>

namespace pirela {
namespace {

TEST(PathRulesTest, JoiningNeverDoublesTheSeparatorAndTheRootStays) {
    EXPECT_EQ(JoinPath("/pics", "a.jpg"), "/pics/a.jpg");
    EXPECT_EQ(JoinPath("/", "a.jpg"), "/a.jpg");
    EXPECT_EQ(JoinPath("/pics", "sub/a.jpg"), "/pics/sub/a.jpg");
    EXPECT_EQ(WithoutTrailingSeparator("/pics/"), "/pics");
    EXPECT_EQ(WithoutTrailingSeparator("/"), "/");
    EXPECT_EQ(WithoutTrailingSeparator(""), "");
}

TEST(PathRulesTest, SplittingFindsFolderFileAndLastPart) {
    EXPECT_EQ(FolderOf("/pics/a.jpg"), "/pics");
    EXPECT_EQ(FolderOf("/a.jpg"), "/");
    EXPECT_EQ(FolderOf("a.jpg"), "");
    EXPECT_EQ(FileNameOf("/pics/写真.jpg"), "写真.jpg");
    EXPECT_EQ(FileNameOf("plain"), "plain");
    EXPECT_EQ(LastPartOf("/Photos/2001/Holiday"), "Holiday");
    EXPECT_EQ(LastPartOf("/"), "/");
    EXPECT_EQ(FolderForSearch("/pics"), "/pics");
}

} // namespace
} // namespace pirela
