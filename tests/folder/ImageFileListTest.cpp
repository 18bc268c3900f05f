#include "folder/ImageFileList.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace pirela {
namespace {

std::vector<std::string> Sorted(std::vector<std::string> names, ListOrder order = ListOrder::Name) {
    ImageFileList list;
    for (auto& name : names) {
        list.AddFileName(name);
    }
    list.Sort(order);
    return list.Names();
}

// A name a list can hold: parts between single separators, none empty.
bool IsPath(const std::string& name) {
    return !name.empty() && name.front() != '/' && name.back() != '/' &&
           name.find("//") == std::string::npos;
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

TEST(ImageFileListTest, TheNaturalOrderReadsNumbersAsNumbers) {
    EXPECT_EQ(Sorted({"img10.jpg", "IMG2.jpg", "img1.jpg"}, ListOrder::Natural),
              (std::vector<std::string>{"img1.jpg", "IMG2.jpg", "img10.jpg"}));
    EXPECT_EQ(Sorted({"IMG_0010.JPG", "img_9.jpg", "img_09.jpg", "DSC 2 (3).jpg", "DSC 2 (12).jpg"},
                     ListOrder::Natural),
              (std::vector<std::string>{"DSC 2 (3).jpg", "DSC 2 (12).jpg", "img_09.jpg",
                                        "img_9.jpg", "IMG_0010.JPG"}));
    // Files of a level before deeper ones, as in the name order; folders by number too.
    EXPECT_EQ(Sorted({"day10/a.jpg", "day2/b.jpg", "z.jpg", "day2/x/c.jpg"}, ListOrder::Natural),
              (std::vector<std::string>{"z.jpg", "day2/b.jpg", "day2/x/c.jpg", "day10/a.jpg"}));
    // Numbers longer than any integer type.
    EXPECT_EQ(Sorted({"a123456789012345678902", "a123456789012345678901", "a99"}, ListOrder::Natural),
              (std::vector<std::string>{"a99", "a123456789012345678901", "a123456789012345678902"}));
}

TEST(ImageFileListTest, TheDateOrderPutsUnknownTimesLastAndKeepsEntriesThroughSorts) {
    ImageFileList list;
    for (const char* name : {"c.jpg", "a.jpg", "b.jpg", "d.jpg"}) {
        list.AddFileName(name);
    }
    const ImageFileList::EntryId c = list.IdAt(0);
    list.SetTakenTime(c, 100);
    list.SetTakenTime(list.IdAt(2), 50);  // b
    list.SetTakenTime(list.IdAt(3), 100); // d: the same second as c, after it by name
    list.Sort(ListOrder::DateTaken);
    EXPECT_EQ(list.Names(), (std::vector<std::string>{"b.jpg", "c.jpg", "d.jpg", "a.jpg"}));
    EXPECT_EQ(list.IndexOf(c), 1);
    list.RemoveFileName(0);
    EXPECT_EQ(list.IndexOf(c), 0);
    EXPECT_EQ(list.NameOf(c), "c.jpg");
    list.AddFileName("e.jpg"); // added later: its time is not known
    list.Sort(ListOrder::DateTaken);
    EXPECT_EQ(list.Names(), (std::vector<std::string>{"c.jpg", "d.jpg", "a.jpg", "e.jpg"}));
    list.Sort(ListOrder::Name);
    EXPECT_EQ(list.Names(), (std::vector<std::string>{"a.jpg", "c.jpg", "d.jpg", "e.jpg"}));
}

// The sort relies on its orders being strict weak orders; an inconsistent one would let it read
// outside the list. Checked on every triple of many short names from a tricky alphabet.
TEST(ImageFileListTest, TheOrdersAreConsistent) {
    const std::string alphabet = "aAb/01.-_";
    std::mt19937 random(3);
    std::vector<std::string> names;
    for (int i = 0; i < 60; ++i) {
        std::string name;
        for (int n = 1 + static_cast<int>(random() % 4); n > 0; --n) {
            name += alphabet[random() % alphabet.size()];
        }
        names.push_back(name);
    }
    const struct {
        bool (*less)(std::string_view, std::string_view);
        OrderKey (*key)(std::string_view);
    } orders[] = {{ListNameLess, NameOrderKey}, {NaturalNameLess, NaturalOrderKey}};
    for (const auto& [less, key] : orders) {
        for (const auto& a : names) {
            EXPECT_FALSE(less(a, a));
            for (const auto& b : names) {
                EXPECT_FALSE(less(a, b) && less(b, a)) << a << " " << b;
                // Where the keys of two paths differ, the sort takes their word for the order.
                if (IsPath(a) && IsPath(b)) {
                    EXPECT_TRUE(key(a) == key(b) || (key(a) < key(b)) == less(a, b)) << a << " " << b;
                }
                for (const auto& c : names) {
                    if (less(a, b) && less(b, c)) {
                        EXPECT_TRUE(less(a, c)) << a << " " << b << " " << c;
                    }
                }
            }
        }
    }
}

// The sort takes shortcuts (the names' first bytes, their folders' ranks); whatever it takes,
// the list comes out in the order the comparisons give.
TEST(ImageFileListTest, ListsOfManyFoldersSortAsTheirOrdersSay) {
    const std::string alphabet = "aA0-1/._b";
    std::mt19937 random(7);
    std::vector<std::string> names;
    while (names.size() < 3000) {
        std::string name;
        for (int n = 1 + static_cast<int>(random() % 12); n > 0; --n) {
            name += alphabet[random() % alphabet.size()];
        }
        if (IsPath(name)) {
            names.push_back(name);
        }
    }
    for (const ListOrder order : {ListOrder::Name, ListOrder::Natural}) {
        std::vector<std::string> expected = names;
        std::sort(expected.begin(), expected.end(),
                  order == ListOrder::Name ? ListNameLess : NaturalNameLess);
        EXPECT_EQ(Sorted(names, order), expected);
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

TEST(ImageFileListTest, HoldsAMillionNamesCompactlyAndFindsExactNamesFirst) {
    ImageFileList list;
    for (int i = 0; i < ImageFileList::kCapacity; ++i) {
        ASSERT_TRUE(list.AddFileName(std::to_string(i), "d/"));
    }
    EXPECT_FALSE(list.AddFileName("one too many"));
    EXPECT_EQ(list.Count(), 1'000'000);
    EXPECT_EQ(list.Name(999'999), "d/999999");
    list.ShrinkToFit();
    // The names' bytes (about 8.9 MB with their ends) and two 32-bit numbers an entry.
    EXPECT_LT(list.MemoryBytes(), 17'000'000u);

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
