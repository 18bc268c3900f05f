#pragma once

#include <optional>
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

// Where the picture stands in the view: the viewport position of its top left corner. Along an
// axis where it is smaller than the view it stands in the middle (centred) or at the edge;
// along the others the scroll position decides.
ScrollPoint PictureOrigin(PixelSize client, PixelSize draw, ScrollPoint scroll, bool centred);

// The scroll position after a zoom from oldDraw to newDraw that keeps the point of the picture
// under anchor (a viewport position: the view's middle for a key, the pointer for the wheel)
// where it was, held within the new scroll range. An anchor beside the picture keeps the
// picture's nearest edge.
ScrollPoint ZoomScrollTarget(PixelSize client, PixelSize oldDraw, ScrollPoint oldScroll,
                             PixelSize newDraw, ScrollPoint anchor, bool centred);

// The fixed zoom rates the menu offers, smallest first.
inline constexpr float kFixedRates[] = {25, 50, 100, 200, 400};

// The fixed rate next above (larger) or below the percentage shown now; none beyond the ends.
// A percentage within one per cent of a fixed rate counts as that rate.
std::optional<float> NextFixedRate(double shownPercent, bool larger);

// The vertical positions of the wheel's animated scroll: 12-pixel steps from y toward
// y - 2 * delta, stopping at the last step that does not pass it; the first is y itself.
std::vector<int> WheelSteps(int y, int delta);

} // namespace pirela
