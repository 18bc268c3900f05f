#pragma once

#include "settings/AppSettings.h"

#include <vector>

namespace pirela {

// How much of a window's top edge must lie on a screen for its title bar to be grabbed.
inline constexpr int kGrabbableTitleWidth = 48;
inline constexpr int kGrabbableTitleHeight = 20;

// The rectangle as it is when its title bar lies on one of the screens' usable areas;
// otherwise moved to the top left corner of the first area (the primary screen's), and made
// no larger than that area. Without any screen the rectangle stays as it is.
WindowRect ReachableWindowRect(const WindowRect& outer, const std::vector<WindowRect>& screens);

// A width × height window beside the main window, top edges level: to its right when that
// fits on the screen's usable area, else to its left, else inside the area's right edge, so
// that it covers neither the main window's menus nor the send bar at its left.
WindowRect BesideWindowRect(const WindowRect& main, int width, int height,
                            const WindowRect& screen);

} // namespace pirela
