#include "image/ColourDescription.h"

#include <cmath>

namespace pirela {

namespace {

bool PlausiblePoint(double x, double y) {
    return std::isfinite(x) && std::isfinite(y) && x >= 0 && y > 0 && x + y <= 1;
}

} // namespace

bool PlausibleChromaticities(const Chromaticities& p) {
    return PlausiblePoint(p.whiteX, p.whiteY) && PlausiblePoint(p.redX, p.redY) &&
           PlausiblePoint(p.greenX, p.greenY) && PlausiblePoint(p.blueX, p.blueY);
}

bool PlausibleGamma(double gamma) {
    return std::isfinite(gamma) && gamma >= 0.1 && gamma <= 10;
}

} // namespace pirela
