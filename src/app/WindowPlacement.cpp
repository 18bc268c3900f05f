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

WindowRect BesideWindowRect(const WindowRect& main, int width, int height,
                            const WindowRect& screen) {
    int left = screen.right - width;
    if (main.right + width <= screen.right) {
        left = main.right;
    } else if (main.left - width >= screen.left) {
        left = main.left - width;
    }
    left = std::max(left, screen.left);
    const int top = std::clamp(main.top, screen.top, std::max(screen.top, screen.bottom - height));
    return WindowRect{left, top, left + width, top + height};
}

} // namespace pirela
