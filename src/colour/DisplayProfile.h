#pragma once

#include "colour/ColourProfile.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace pirela {

// Where the display's profile comes from: the window system's record of it (the bytes of an
// ICC profile), or nothing when it records none. The user interface knows the window system and
// sets it before any picture is decoded; it is asked once, the first time a photo has colours
// to convert, from whichever thread decodes it.
using DisplayProfileReader = std::function<std::vector<std::uint8_t>()>;
void SetDisplayProfileReader(DisplayProfileReader reader);

// The profile pictures are converted to: the display's own, or sRGB when the display has none
// or one that cannot be used.
std::shared_ptr<const ColourProfile> DisplayProfile();

} // namespace pirela
