#include "folder/Navigation.h"

#include <gtest/gtest.h>

namespace pirela {
namespace {

ImageFileList ListOf(int count, int current) {
    ImageFileList list;
    list.SetFolder("/pics");
    for (int i = 0; i < count; ++i) {
        list.AddFileName("img" + std::to_string(i) + ".jpg");
    }
    list.SetCurrent(current);
    return list;
}

TEST(NavigationTest, NothingMovesPastEitherEnd) {
    const ImageFileList one = ListOf(1, 0);
    EXPECT_FALSE(CanGoForward(one));
    EXPECT_FALSE(CanGoBack(one));
    EXPECT_FALSE(CanJump(one, 10));
    EXPECT_FALSE(CanJump(one, -10));
    EXPECT_FALSE(CanGoForward(ListOf(0, 0)));

    const ImageFileList first = ListOf(15, 0);
    EXPECT_TRUE(CanGoForward(first));
    EXPECT_FALSE(CanGoBack(first));
    EXPECT_TRUE(CanJump(first, 10));
    EXPECT_FALSE(CanJump(first, 100));

    const ImageFileList ninth = ListOf(15, 9);
    EXPECT_FALSE(CanJump(ninth, 10));
    EXPECT_TRUE(CanJump(ninth, -9));
    EXPECT_FALSE(CanJump(ninth, -10));
    EXPECT_TRUE(CanGoForward(ninth));

    const ImageFileList last = ListOf(15, 14);
    EXPECT_FALSE(CanGoForward(last));
    EXPECT_TRUE(CanGoBack(last));
    EXPECT_TRUE(CanJump(last, -10));
}

TEST(NavigationTest, ARowIsFoundByItsExactNameFirst) {
    ImageFileList list;
    for (const char* name : {"A.jpg", "a.jpg", "b.jpg.png"}) {
        list.AddFileName(name);
    }
    EXPECT_EQ(RowForName(list, "a.jpg"), 1);
    EXPECT_EQ(RowForName(list, "B.JPG"), 2); // the first row beginning with it
    EXPECT_EQ(RowForName(list, "c.jpg"), -1);
}

} // namespace
} // namespace pirela
