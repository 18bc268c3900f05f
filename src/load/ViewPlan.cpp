#include "load/ViewPlan.h"

namespace pirela {

PixelSize DrawSizeUnder(const ViewPlan& plan, PixelSize image) {
    return ComputeDrawSize({image, plan.turnState, plan.rate, plan.client, &image});
}

bool DrawnSmallerUnturned(const ViewPlan& plan, PixelSize image) {
    if (plan.turnState != 0) {
        return false;
    }
    const PixelSize draw = DrawSizeUnder(plan, image);
    return draw.width > 0 && draw.height > 0 && draw.width <= image.width &&
           draw.height <= image.height && !(draw == image);
}

} // namespace pirela
