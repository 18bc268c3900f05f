#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace pirela {

// Where a colour's red, green and blue lie and which white they add up to, as CIE xy
// chromaticities: what a PNG's cHRM chunk or a HEIF file's colour primaries name.
struct Chromaticities {
    double whiteX = 0, whiteY = 0;
    double redX = 0, redY = 0;
    double greenX = 0, greenY = 0;
    double blueX = 0, blueY = 0;
    bool operator==(const Chromaticities&) const = default;
};

// How a file's samples relate to light when it names a curve rather than embedding one.
enum class TransferCurve {
    Srgb,  // the sRGB curve (also what video's BT.709 and BT.601 files are shown with)
    Gamma, // a pure power: light = sample ^ gamma
    Linear,
};

// What a file says about the colours of its samples: an embedded ICC profile, or primaries and
// a transfer curve to build one from, or that they are sRGB. A file that says nothing carries no
// description at all; that, and anything that cannot be understood, is shown as sRGB.
struct ColourDescription {
    std::vector<std::uint8_t> icc; // the embedded profile's bytes, when there is one
    bool srgb = false;             // named sRGB (a PNG's sRGB chunk, a HEIF file's nclx)
    std::optional<Chromaticities> primaries;
    TransferCurve transfer = TransferCurve::Srgb;
    double gamma = 2.2; // for TransferCurve::Gamma

    bool Empty() const { return icc.empty() && !srgb && !primaries; }
    bool operator==(const ColourDescription&) const = default;
};

// Whether the chromaticities can be those of real colours (each within the xy diagram's unit
// triangle, none of zero luminance), and a gamma one of a real curve: what a description may
// carry across the decoder helper's socket.
bool PlausibleChromaticities(const Chromaticities& primaries);
bool PlausibleGamma(double gamma);

} // namespace pirela
