#pragma once

namespace pirela {

// The user's choices that the bitmap a decode makes depends on: a decode made under other
// settings is not the image the user asked to see.
struct DecodeSettings {
    bool applyOrientation = true; // turn photos upright as their files say
    bool manageColour = true;     // show photos in the colours their profiles describe
    bool operator==(const DecodeSettings&) const = default;
};

} // namespace pirela
