#pragma once

#include <cstdint>
#include <vector>

namespace pirela {

// The display's colour profile as colour managers record it on the X server: the ICC profile in
// the root window's property _ICC_PROFILE (_ICC_PROFILE_n for screen n). Empty when the display
// records none, or there is no X server (Wayland without X, no display at all). It asks the X
// server over a connection of its own, so it may run on any thread, also before Qt has started.
std::vector<std::uint8_t> ReadX11DisplayProfile();

} // namespace pirela
