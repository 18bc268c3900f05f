#pragma once

#include "view/DrawGeometry.h"

namespace pirela {

// What the size an image is drawn at depends on, apart from the image itself: the view's zoom,
// turn and client area. A worker decoding the next image takes it along, so that it can
// prepare the very picture the view will paint.
struct ViewPlan {
    float rate = 100;
    int turnState = 0;
    PixelSize client;
    bool operator==(const ViewPlan&) const = default;
};

// The draw size of an image of the given size (as in its file) under the plan.
PixelSize DrawSizeUnder(const ViewPlan& plan, PixelSize image);

// Whether the image is drawn smaller than itself and unturned: its picture can then be made
// ahead, scaled down, or first decoded at a smaller scale.
bool DrawnSmallerUnturned(const ViewPlan& plan, PixelSize image);

} // namespace pirela
