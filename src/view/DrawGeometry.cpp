#include "view/DrawGeometry.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <iterator>
#include <utility>

namespace pirela {

namespace {

constexpr int kWheelStep = 12;

// Sizes are worked out in 64 bits (an image 2^31 - 1 pixels wide at 200 %, or fitted by a
// height a millionth of its width, goes far past int) and held at the largest int: a scroll
// extent cannot be larger, and a size that wrapped would be negative.
int HeldToInt(long double size) {
    return size >= static_cast<long double>(INT_MAX) ? INT_MAX : static_cast<int>(size);
}

// Fits by height: as high as the client, the width in proportion.
PixelSize HeightFit(long long width, long long height, PixelSize client) {
    return {HeldToInt(static_cast<long double>(client.height * width / height)), client.height};
}

PixelSize WidthFit(long long width, long long height, PixelSize client) {
    return {client.width, HeldToInt(static_cast<long double>(client.width * height / width))};
}

// The whole image inside the client, by whichever side is the tighter one.
PixelSize Fit(long long width, long long height, PixelSize client) {
    if (client.width <= 0 || static_cast<double>(height) / static_cast<double>(width) >=
                                 static_cast<double>(client.height) / client.width) {
        return HeightFit(width, height, client);
    }
    return WidthFit(width, height, client);
}

int OriginAlong(int client, int draw, int scroll, bool centred) {
    if (draw < client) {
        return centred ? (client - draw) / 2 : 0;
    }
    return -scroll;
}

// The scroll position along one axis that puts the picture's point at fraction of its size
// under the anchor, held within the scroll range.
int ScrollAlong(int client, int oldDraw, int oldOrigin, int newDraw, int anchor) {
    if (newDraw <= client) {
        return 0;
    }
    const double fraction =
        oldDraw > 0 ? std::clamp(static_cast<double>(anchor - oldOrigin) / oldDraw, 0.0, 1.0) : 0.5;
    const long long target = std::llround(fraction * newDraw) - anchor;
    return static_cast<int>(std::clamp<long long>(target, 0, newDraw - client));
}

} // namespace

PixelSize ComputeDrawSize(const DrawInput& input) {
    long long width = input.image.width;
    long long height = input.image.height;
    if (width <= 0 || height <= 0) {
        return {};
    }
    if (input.turnState == 1 || input.turnState == 3) {
        std::swap(width, height);
    }
    const PixelSize client = input.client;
    if (input.rate == kRateFit) {
        return Fit(width, height, client);
    }
    if (input.rate < 0) {
        const bool tooWide = width > client.width;
        const bool tooHigh = height > client.height;
        if (tooWide && tooHigh) {
            return Fit(width, height, client);
        }
        if (tooWide) {
            return WidthFit(width, height, client);
        }
        if (tooHigh) {
            return HeightFit(width, height, client);
        }
        return input.shownBitmap ? *input.shownBitmap : input.image;
    }
    const long double factor = static_cast<long double>(input.rate) * 0.01L;
    return {HeldToInt(static_cast<long double>(width) * factor),
            HeldToInt(static_cast<long double>(height) * factor)};
}

ScrollPoint KeyScrollTarget(ScrollPoint position, PixelSize client, PixelSize draw, ScrollKey key) {
    switch (key) {
    case ScrollKey::Up:
        position.y -= client.height / 2;
        break;
    case ScrollKey::Down:
        position.y += client.height / 2;
        break;
    case ScrollKey::Left:
        position.x -= client.width / 2;
        break;
    case ScrollKey::Right:
        position.x += client.width / 2;
        break;
    }
    if (position.x < 0 || draw.width < client.width) {
        position.x = 0;
    }
    if (position.y < 0 || draw.height < client.height) {
        position.y = 0;
    }
    return position;
}

ScrollPoint DragScrollTarget(ScrollPoint anchor, ScrollPoint mouse, PixelSize pressClient,
                             PixelSize draw) {
    ScrollPoint target{anchor.x - mouse.x, anchor.y - mouse.y};
    if (target.x < 0 || pressClient.width > draw.width) {
        target.x = 0;
    }
    if (target.y < 0 || pressClient.height > draw.height) {
        target.y = 0;
    }
    return target;
}

ScrollPoint PictureOrigin(PixelSize client, PixelSize draw, ScrollPoint scroll, bool centred) {
    return {OriginAlong(client.width, draw.width, scroll.x, centred),
            OriginAlong(client.height, draw.height, scroll.y, centred)};
}

ScrollPoint ZoomScrollTarget(PixelSize client, PixelSize oldDraw, ScrollPoint oldScroll,
                             PixelSize newDraw, ScrollPoint anchor, bool centred) {
    const ScrollPoint origin = PictureOrigin(client, oldDraw, oldScroll, centred);
    return {ScrollAlong(client.width, oldDraw.width, origin.x, newDraw.width, anchor.x),
            ScrollAlong(client.height, oldDraw.height, origin.y, newDraw.height, anchor.y)};
}

std::optional<float> NextFixedRate(double shownPercent, bool larger) {
    constexpr double kSameRate = 0.01;
    if (larger) {
        for (const float rate : kFixedRates) {
            if (rate > shownPercent * (1 + kSameRate)) {
                return rate;
            }
        }
        return std::nullopt;
    }
    for (auto rate = std::rbegin(kFixedRates); rate != std::rend(kFixedRates); ++rate) {
        if (*rate < shownPercent * (1 - kSameRate)) {
            return *rate;
        }
    }
    return std::nullopt;
}

std::vector<int> WheelSteps(int y, int delta) {
    const int target = y - 2 * delta;
    std::vector<int> steps;
    if (target < y) {
        for (int step = y; step >= target; step -= kWheelStep) {
            steps.push_back(step);
        }
    } else if (target > y) {
        for (int step = y; step <= target; step += kWheelStep) {
            steps.push_back(step);
        }
    }
    return steps;
}

} // namespace pirela
