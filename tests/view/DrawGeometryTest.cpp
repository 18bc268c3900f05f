#include "view/DrawGeometry.h"

#include <gtest/gtest.h>

namespace pirela {
namespace {

PixelSize Draw(int width, int height, float rate, PixelSize client = {400, 400}, int turn = 0,
               bool shown = true) {
    const PixelSize bitmap{width, height};
    return ComputeDrawSize({{width, height}, turn, rate, client, shown ? &bitmap : nullptr});
}

TEST(DrawGeometryTest, FitShrinkAndPercentages) {
    EXPECT_EQ(Draw(1000, 500, kRateFit), (PixelSize{400, 200}));
    EXPECT_EQ(Draw(1000, 500, kRateShrink), (PixelSize{400, 200}));
    EXPECT_EQ(Draw(1000, 500, 25), (PixelSize{250, 125}));
    EXPECT_EQ(Draw(300, 900, kRateFit), (PixelSize{133, 400}));
    EXPECT_EQ(Draw(300, 900, kRateShrink), (PixelSize{133, 400}));
    EXPECT_EQ(Draw(100, 50, kRateFit), (PixelSize{400, 200})); // small images grow to fit
    EXPECT_EQ(Draw(100, 50, kRateShrink), (PixelSize{100, 50}));
    EXPECT_EQ(Draw(333, 333, 25), (PixelSize{83, 83}));
    EXPECT_EQ(Draw(640, 480, 50, {400, 400}, 1), (PixelSize{240, 320}));
    EXPECT_EQ(Draw(333, 777, 200), (PixelSize{666, 1554}));
    EXPECT_EQ(Draw(500, 300, kRateShrink, {400, 400}), (PixelSize{400, 240})); // only too wide
    EXPECT_EQ(Draw(300, 500, kRateShrink, {400, 400}), (PixelSize{240, 400})); // only too high
}

TEST(DrawGeometryTest, SizesBeyondIntAreHeldAtItsLargestValue) {
    EXPECT_EQ(Draw(2147483647, 1, 200), (PixelSize{2147483647, 2}));
    EXPECT_EQ(Draw(2147483647, 1, 400, {400, 400}, 1), (PixelSize{4, 2147483647}));
}

TEST(DrawGeometryTest, NoImageIsNothingWhateverTheMode) {
    for (float rate : {kRateFit, kRateShrink, 100.0f, 400.0f}) {
        EXPECT_EQ(Draw(0, 0, rate, {400, 400}, 0, false), (PixelSize{0, 0}));
    }
    EXPECT_EQ(Draw(100, 50, kRateFit, {0, 0}), (PixelSize{0, 0}));
}

TEST(DrawGeometryTest, ArrowKeysMoveHalfAWindowAndKeepSmallImagesAtTheOrigin) {
    const PixelSize client{401, 300};
    EXPECT_EQ(KeyScrollTarget({0, 0}, client, {2000, 2000}, ScrollKey::Right), (ScrollPoint{200, 0}));
    EXPECT_EQ(KeyScrollTarget({0, 300}, client, {2000, 2000}, ScrollKey::Up), (ScrollPoint{0, 150}));
    EXPECT_EQ(KeyScrollTarget({0, 100}, client, {2000, 2000}, ScrollKey::Up), (ScrollPoint{0, 0}));
    EXPECT_EQ(KeyScrollTarget({0, 0}, client, {300, 2000}, ScrollKey::Right), (ScrollPoint{0, 0}));
}

TEST(DrawGeometryTest, DraggingScrollsOnlyAlongTheAxesThatOverflow) {
    // Pressed at (100, 100) with the view scrolled to (50, 0): the anchor is (150, 100).
    EXPECT_EQ(DragScrollTarget({150, 100}, {60, 40}, {400, 400}, {1000, 300}), (ScrollPoint{90, 0}));
    EXPECT_EQ(DragScrollTarget({150, 100}, {200, 40}, {400, 400}, {1000, 1000}), (ScrollPoint{0, 60}));
}

TEST(DrawGeometryTest, ASmallerPictureStandsInTheMiddleOrAtTheEdge) {
    const PixelSize client{400, 300};
    EXPECT_EQ(PictureOrigin(client, {101, 300}, {0, 0}, true), (ScrollPoint{149, 0}));
    EXPECT_EQ(PictureOrigin(client, {101, 300}, {0, 0}, false), (ScrollPoint{0, 0}));
    // Along an axis that overflows, the scroll position places it.
    EXPECT_EQ(PictureOrigin(client, {1000, 100}, {250, 0}, true), (ScrollPoint{-250, 100}));
}

TEST(DrawGeometryTest, AZoomKeepsThePointUnderItsAnchor) {
    const PixelSize client{400, 300};
    // At 100 % scrolled to (600, 400), the middle shows picture point (800, 550); at 200 % it
    // is (1600, 1100), which stays in the middle.
    EXPECT_EQ(ZoomScrollTarget(client, {2000, 1500}, {600, 400}, {4000, 3000}, {200, 150}, true),
              (ScrollPoint{1400, 950}));
    // At the pointer (10, 20) instead, and held within the scroll range at 50 %.
    EXPECT_EQ(ZoomScrollTarget(client, {2000, 1500}, {600, 400}, {4000, 3000}, {10, 20}, true),
              (ScrollPoint{1210, 820}));
    EXPECT_EQ(ZoomScrollTarget(client, {2000, 1500}, {0, 0}, {1000, 750}, {200, 150}, true),
              (ScrollPoint{0, 0}));
    // From a centred picture, a point beside it keeps the nearest edge; a picture that fits
    // needs no scrolling.
    EXPECT_EQ(ZoomScrollTarget(client, {200, 150}, {0, 0}, {800, 600}, {0, 0}, true),
              (ScrollPoint{0, 0}));
    EXPECT_EQ(ZoomScrollTarget(client, {200, 150}, {0, 0}, {800, 600}, {399, 299}, true),
              (ScrollPoint{400, 300}));
    EXPECT_EQ(ZoomScrollTarget(client, {2000, 1500}, {600, 400}, {300, 200}, {200, 150}, true),
              (ScrollPoint{0, 0}));
}

TEST(DrawGeometryTest, TheZoomStepsGoThroughTheFixedRates) {
    EXPECT_EQ(NextFixedRate(100, true), 200.0f);
    EXPECT_EQ(NextFixedRate(99.5, true), 200.0f); // a fit that is all but 100 % counts as it
    EXPECT_EQ(NextFixedRate(100, false), 50.0f);
    EXPECT_EQ(NextFixedRate(33.3, true), 50.0f);
    EXPECT_EQ(NextFixedRate(33.3, false), 25.0f);
    EXPECT_EQ(NextFixedRate(400, true), std::nullopt);
    EXPECT_EQ(NextFixedRate(25, false), std::nullopt);
    EXPECT_EQ(NextFixedRate(10, true), 25.0f);
    EXPECT_EQ(NextFixedRate(1000, false), 400.0f);
}

TEST(DrawGeometryTest, OneWheelNotchIsTwentyTwelvePixelSteps) {
    const auto down = WheelSteps(1000, -120);
    ASSERT_EQ(down.size(), 21u);
    EXPECT_EQ(down.front(), 1000);
    EXPECT_EQ(down.back(), 1240);
    const auto up = WheelSteps(1000, 50); // target 900: stops at 904
    EXPECT_EQ(up.back(), 904);
    EXPECT_TRUE(WheelSteps(10, 0).empty());
}

} // namespace
} // namespace pirela
