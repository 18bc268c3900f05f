#include "folder/FolderListing.h"

#include "folder/Navigation.h"
#include "support/MadeUpFolder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace pirela {
namespace {

ImageFileList ListOf(const DirectoryReader& reader, ListOrder order, ScanEnd expected) {
    FolderListing listing("/roll", {}, order, reader, {});
    listing.Wait();
    EXPECT_EQ(listing.End(), expected);
    return listing.TakeList();
}

// A phone's whole camera roll, a million names, through the folder reader.
TEST(FolderListingTest, AMillionNamesAreListedInEachOrderAndPagedToTheirEnds) {
    const test::MadeUpFolder roll(ImageFileList::kCapacity);
    const ImageFileList byName = ListOf(roll, ListOrder::Name, ScanEnd::Complete);
    ASSERT_EQ(byName.Count(), 1'000'000);
    EXPECT_EQ(byName.Folder(), "/roll");
    EXPECT_EQ(byName.Name(0), "IMG_000001.jpg");
    EXPECT_EQ(byName.Name(999'999), "IMG_999999.jpg"); // "IMG_1000000.jpg" sorts by its "1"
    const ImageFileList natural = ListOf(roll, ListOrder::Natural, ScanEnd::Complete);
    EXPECT_EQ(natural.Name(999'999), "IMG_1000000.jpg");
    EXPECT_EQ(natural.Name(99'999), "IMG_100000.jpg");
    // No photo's date is known before it is read: the date order starts as the name order.
    ImageFileList byDate = ListOf(roll, ListOrder::DateTaken, ScanEnd::Complete);
    EXPECT_EQ(byDate.Name(999'999), "IMG_999999.jpg");

    byDate.SetCurrent(999'999);
    EXPECT_FALSE(CanGoForward(byDate));
    EXPECT_TRUE(CanGoBack(byDate));
    EXPECT_TRUE(CanJump(byDate, -100));
    EXPECT_FALSE(CanJump(byDate, 1));
    byDate.SetCurrent(0);
    EXPECT_TRUE(CanJump(byDate, 999'999));
    EXPECT_FALSE(CanJump(byDate, 1'000'000));
    EXPECT_EQ(RowForName(byDate, "IMG_1000000.jpg"), 100'000); // after IMG_100000.jpg
}

TEST(FolderListingTest, AStoppedListingSortsWhatItFound) {
    test::MadeUpFolder endless(3);
    endless.GoOnSlowly();
    FolderListing listing("/slow", {}, ListOrder::Name, endless, {});
    EXPECT_FALSE(listing.WaitFor(std::chrono::milliseconds(20)));
    EXPECT_EQ(listing.CurrentPhase(), FolderListing::Phase::Searching);
    listing.Stop();
    listing.Wait();
    EXPECT_EQ(listing.End(), ScanEnd::Stopped);
    const ImageFileList list = listing.TakeList();
    ASSERT_GE(list.Count(), 3);
    EXPECT_EQ(list.Name(0), "IMG_000001.jpg");
    const std::vector<std::string> names = list.Names();
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), ListNameLess));
}

} // namespace
} // namespace pirela
