#pragma once

#include <vector>

namespace pirela {

struct PixelSize {
    int width = 0;
    int height = 0;
    bool operator==(const PixelSize&) const = default;
};

struct ScrollPoint {
    int x = 0;
    int y = 0;
    bool operator==(const ScrollPoint&) const = default;
};

// Zoom rates; any other positive value is a percentage too.
inline constexpr float kRateFit = 0;     // always fit the window, enlarging small images
inline constexpr float kRateShrink = -1; // shrink what does not fit, the rest at 100 %

// What the draw size depends on.
struct DrawInput {
    PixelSize image;      // as loaded (the image facts), before any turn
    int turnState = 0;    // quarter turns
    float rate = 100;
    PixelSize client;     // the view's client area
    const PixelSize* shownBitmap = nullptr; // the installed bitmap's size, when one is shown
};

// The size the image is drawn at: the percentage of the (turned) image, or the whole image
// fitted into the client area. Products come before divisions and are truncated toward zero.
// Without an image it is (0, 0) in every mode.
PixelSize ComputeDrawSize(const DrawInput& input);

// The scroll position after an arrow key: half the client area further, kept at 0 across an
// axis where the image is smaller than the window. The view then clamps it to its limit.
enum class ScrollKey { Up, Down, Left, Right };
ScrollPoint KeyScrollTarget(ScrollPoint position, PixelSize client, PixelSize draw, ScrollKey key);

// The scroll position while dragging: the pressed point (in content coordinates) stays under
// the mouse, along each axis where the image is larger than the window at the press.
ScrollPoint DragScrollTarget(ScrollPoint anchor, ScrollPoint mouse, PixelSize pressClient,
                             PixelSize draw);

// The vertical positions of the wheel's animated scroll: 12-pixel steps from y toward
// y - 2 * delta, stopping at the last step that does not pass it; the first is y itself.
std::vector<int> WheelSteps(int y, int delta);

} // namespace pirela
