// The thumbnail grid's arithmetic: where cells stand, what is in sight, where a key leads, and
// which cells a click with or without Shift and Ctrl chooses.
#include "view/GridLayout.h"
#include "view/GridSelection.h"

#include <gtest/gtest.h>

namespace pirela {
namespace {

// 23 cells of 100 x 120 in a view 450 wide: 4 columns, 6 rows, the last holding 3.
const GridLayout kGrid(23, 450, 100, 120);

TEST(GridLayoutTest, PlacesCellsAndFindsThemAgain) {
    EXPECT_EQ(kGrid.Columns(), 4);
    EXPECT_EQ(kGrid.Rows(), 6);
    EXPECT_EQ(kGrid.ContentHeight(), 720);
    EXPECT_EQ(kGrid.LeftOf(6), 200);
    EXPECT_EQ(kGrid.TopOf(6), 120);
    EXPECT_EQ(kGrid.IndexAt(250, 130), 6);
    EXPECT_EQ(kGrid.IndexAt(420, 130), -1); // right of the last column
    EXPECT_EQ(kGrid.IndexAt(350, 650), -1); // after the last cell
    EXPECT_EQ(GridLayout(5, 50, 100, 120).Columns(), 1);
}

TEST(GridLayoutTest, TellsWhatIsInSightAndScrollsAsLittleAsNeeded) {
    const auto range = kGrid.InSight(130, 250); // rows 1 to 3, partly
    EXPECT_EQ(range.first, 4);
    EXPECT_EQ(range.count, 12);
    EXPECT_EQ(kGrid.InSight(600, 250).count, 3);
    EXPECT_EQ(kGrid.ScrollToShow(2, 130, 250), 0);    // above: its top
    EXPECT_EQ(kGrid.ScrollToShow(17, 130, 250), 350); // below: its bottom at the view's
    EXPECT_EQ(kGrid.ScrollToShow(9, 130, 250), 130);  // whole in sight already
}

TEST(GridLayoutTest, KeysMoveAcrossRowsAndStayInTheList) {
    EXPECT_EQ(kGrid.Move(3, GridKey::Right, 250), 4);
    EXPECT_EQ(kGrid.Move(4, GridKey::Left, 250), 3);
    EXPECT_EQ(kGrid.Move(0, GridKey::Left, 250), 0);
    EXPECT_EQ(kGrid.Move(2, GridKey::Up, 250), 2);
    EXPECT_EQ(kGrid.Move(19, GridKey::Down, 250), 22); // to the shorter last row's end
    EXPECT_EQ(kGrid.Move(21, GridKey::Down, 250), 21);
    EXPECT_EQ(kGrid.Move(9, GridKey::PageDown, 250), 17); // two whole rows in the view
    EXPECT_EQ(kGrid.Move(17, GridKey::PageDown, 250), 22);
    EXPECT_EQ(kGrid.Move(5, GridKey::PageUp, 250), 1);
    EXPECT_EQ(kGrid.Move(9, GridKey::End, 250), 22);
    EXPECT_EQ(kGrid.Move(9, GridKey::Home, 250), 0);
}

TEST(GridSelectionTest, ShiftExtendsFromTheAnchorCtrlTogglesOne) {
    GridSelection selection;
    selection.Reset(10, 4);
    EXPECT_EQ(selection.Selected(), std::vector<int>{4});
    selection.ExtendTo(7);
    selection.ExtendTo(2); // from the anchor, not from the last cell reached
    EXPECT_EQ(selection.Selected(), (std::vector<int>{2, 3, 4}));
    EXPECT_EQ(selection.Current(), 2);
    selection.Toggle(8);
    selection.Toggle(3);
    EXPECT_EQ(selection.Selected(), (std::vector<int>{2, 4, 8}));
    selection.ExtendTo(5); // anchored at the last cell toggled
    EXPECT_EQ(selection.Selected(), (std::vector<int>{3, 4, 5}));
    selection.SelectAll();
    EXPECT_EQ(selection.SelectedCount(), 10);
    selection.MoveTo(9);
    EXPECT_EQ(selection.Selected(), std::vector<int>{9});
    selection.Reset(0, 3);
    EXPECT_EQ(selection.SelectedCount(), 0);
}

TEST(GridSelectionTest, APhotoThatLeavesTakesNoChoiceWithIt) {
    GridSelection selection;
    selection.Reset(6, 1);
    selection.Toggle(4);
    selection.Remove(2); // before the current one: the choice moves up with its photos
    EXPECT_EQ(selection.Selected(), (std::vector<int>{1, 3}));
    EXPECT_EQ(selection.Current(), 3);
    selection.Remove(3); // the current one: the next photo becomes current
    EXPECT_EQ(selection.Selected(), std::vector<int>{1});
    EXPECT_EQ(selection.Current(), 3);
    selection.Remove(1); // nothing chosen is left: the current one is
    EXPECT_EQ(selection.Selected(), std::vector<int>{2});
    selection.Remove(2); // the last one: the new last one
    EXPECT_EQ(selection.Current(), 1);
    EXPECT_EQ(selection.Selected(), std::vector<int>{1});
}

} // namespace
} // namespace pirela
