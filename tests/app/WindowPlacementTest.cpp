#include "app/WindowPlacement.h"

#include <gtest/gtest.h>

using namespace pirela;

namespace {

// Two screens side by side; the left one has a 30-pixel panel along its top.
const std::vector<WindowRect> kScreens{{0, 30, 1280, 800}, {1280, 0, 3200, 1080}};

} // namespace

TEST(WindowPlacementTest, AWindowWhoseTitleBarLiesOnAScreenStaysWhereItIs) {
    for (const WindowRect& rect : {WindowRect{100, 40, 900, 600}, WindowRect{2000, 0, 2600, 500},
                                   WindowRect{-500, 100, 300, 700}, // its right part on screen
                                   WindowRect{1200, 10, 1800, 400}}) { // on the second screen
        EXPECT_EQ(ReachableWindowRect(rect, kScreens), rect);
    }
    EXPECT_EQ(ReachableWindowRect({5000, 5000, 5100, 5100}, {}), WindowRect({5000, 5000, 5100, 5100}));
}

TEST(WindowPlacementTest, TheFileListStandsBesideTheMainWindow) {
    const WindowRect screen = kScreens.front();
    const struct {
        WindowRect main;
        WindowRect beside;
    } cases[] = {
        {{0, 30, 960, 630}, {960, 30, 1110, 250}},     // room on the right
        {{300, 100, 1280, 700}, {150, 100, 300, 320}}, // on the left
        {{0, 30, 1280, 800}, {1130, 30, 1280, 250}},   // maximised: inside the right edge
        {{0, 700, 900, 800}, {900, 580, 1050, 800}},   // low down: kept on the screen
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BesideWindowRect(c.main, 150, 220, screen), c.beside);
    }
}

TEST(WindowPlacementTest, ATitleBarOffEveryScreenComesBackOnThePrimaryOne) {
    // Above the screens, under the panel, left of everything, below everything.
    EXPECT_EQ(ReachableWindowRect({100, -20, 900, 600}, kScreens), WindowRect({0, 30, 800, 650}));
    EXPECT_EQ(ReachableWindowRect({100, 10, 900, 600}, kScreens), WindowRect({0, 30, 800, 620}));
    EXPECT_EQ(ReachableWindowRect({-900, 100, -20, 700}, kScreens), WindowRect({0, 30, 880, 630}));
    EXPECT_EQ(ReachableWindowRect({100, 1200, 900, 1600}, kScreens), WindowRect({0, 30, 800, 430}));
    // Larger than the primary screen's usable area: cut to it.
    EXPECT_EQ(ReachableWindowRect({0, -100, 4000, 3000}, kScreens), WindowRect({0, 30, 1280, 800}));
}
