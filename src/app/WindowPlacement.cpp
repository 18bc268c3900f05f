#include "app/WindowPlacement.h"

#include <algorithm>

namespace pirela {

namespace {

bool TitleBarLiesOn(const WindowRect& outer, const WindowRect& screen) {
    const int left = std::max(outer.left, screen.left);
    const int right = std::min(outer.right, screen.right);
    return right - left >= kGrabbableTitleWidth && outer.top >= screen.top &&
           outer.top + kGrabbableTitleHeight <= screen.bottom;
}

} // namespace

WindowRect ReachableWindowRect(const WindowRect& outer, const std::vector<WindowRect>& screens) {
    if (screens.empty()) {
        return outer;
    }
    for (const WindowRect& screen : screens) {
        if (TitleBarLiesOn(outer, screen)) {
            return outer;
        }
    }
    const WindowRect& primary = screens.front();
    const int width = std::min(outer.Width(), primary.Width());
    const int height = std::min(outer.Height(), primary.Height());
    return WindowRect{primary.left, primary.top, primary.left + width, primary.top + height};
}

} // namespace pirela
