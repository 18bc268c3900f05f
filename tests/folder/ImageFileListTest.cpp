#include "folder/ImageFileList.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace pirela {
namespace {

std::vector<std::string> Sorted(std::vector<std::string> names) {
    ImageFileList list;
    for (auto& name : names) {
        list.AddFileName(name);
    }
    list.SortFileList();
    return list.Names();
}

TEST(ImageFileListTest, SortsWithoutCaseAndFilesBeforeDeeperFiles) {
    EXPECT_EQ(Sorted({"C.Png", "b.jpg", "A.JPG"}), (std::vector<std::string>{"A.JPG", "b.jpg", "C.Png"}));
    EXPECT_EQ(Sorted({"img2.jpg", "img10.jpg"}), (std::vector<std::string>{"img10.jpg", "img2.jpg"}));
    EXPECT_EQ(Sorted({"sub/deep/c.jpg", "z.jpg", "sub/b.jpg", "a.jpg"}),
              (std::vector<std::string>{"a.jpg", "z.jpg", "sub/b.jpg", "sub/deep/c.jpg"}));
    EXPECT_EQ(Sorted({"a_b.jpg", "a.b.jpg", "ab.jpg"}),
              (std::vector<std::string>{"a.b.jpg", "a_b.jpg", "ab.jpg"}));
    // Equal but for case: both kept, in a fixed order whatever order they came in.
    EXPECT_EQ(Sorted({"a.jpg", "A.jpg"}), (std::vector<std::string>{"A.jpg", "a.jpg"}));
    EXPECT_EQ(Sorted({"A.jpg", "a.jpg"}), (std::vector<std::string>{"A.jpg", "a.jpg"}));
}

// The sort relies on the order being a strict weak order; an inconsistent one would let it
// read outside the list. Checked on every triple of many short names from a tricky alphabet.
TEST(ImageFileListTest, TheOrderIsConsistent) {
    const std::string alphabet = "aAb/0._";
    std::mt19937 random(3);
    std::vector<std::string> names;
    for (int i = 0; i < 60; ++i) {
        std::string name;
        for (int n = 1 + static_cast<int>(random() % 4); n > 0; --n) {
            name += alphabet[random() % alphabet.size()];
        }
        names.push_back(name);
    }
    const auto less = [](const std::string& a, const std::string& b) {
        const int order = CompareListNames(a, b);
        return order != 0 ? order < 0 : a < b;
    };
    for (const auto& a : names) {
        EXPECT_FALSE(less(a, a));
        for (const auto& b : names) {
            EXPECT_FALSE(less(a, b) && less(b, a)) << a << " " << b;
            for (const auto& c : names) {
                if (less(a, b) && less(b, c)) {
                    EXPECT_TRUE(less(a, c)) << a << " " << b << " " << c;
                }
            }
        }
    }
}

TEST(ImageFileListTest, RemovingMovesTheFollowingNamesUp) {
    ImageFileList list;
    for (const char* name : {"0", "1", "2", "3", "4"}) {
        list.AddFileName(name);
    }
    list.SetCurrent(4);
    list.RemoveFileName(2);
    EXPECT_EQ(list.Names(), (std::vector<std::string>{"0", "1", "3", "4"}));
    EXPECT_EQ(list.Name(4), "");
    EXPECT_EQ(list.Current(), 4); // untouched
    list.RemoveFileName(7);
    EXPECT_EQ(list.Count(), 4);
}

TEST(ImageFileListTest, HoldsAtMost19999NamesAndFindsExactNamesFirst) {
    ImageFileList list;
    for (int i = 0; i < ImageFileList::kCapacity; ++i) {
        ASSERT_TRUE(list.AddFileName(std::to_string(i)));
    }
    EXPECT_FALSE(list.AddFileName("one too many"));
    EXPECT_EQ(list.Count(), 19999);

    ImageFileList cases;
    cases.SetFolder("/pics");
    cases.AddFileName("A.jpg");
    cases.AddFileName("a.jpg");
    EXPECT_EQ(cases.FindFileName("a.jpg"), 1);
    EXPECT_EQ(cases.FindFileName("A.JPG"), 0);
    EXPECT_EQ(cases.FindFileName("b.jpg"), -1);
    cases.SetCurrent(1);
    EXPECT_EQ(cases.CurrentImagePath(), "/pics/a.jpg");
    EXPECT_TRUE(cases.HasCurrentImage());
    cases.ClearFileList();
    EXPECT_FALSE(cases.HasCurrentImage());
    EXPECT_EQ(cases.Current(), 0);
}

} // namespace
} // namespace pirela
