#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

// Colour profiles and files that embed them, for tests and benchmarks.
namespace pirela::test {

// Adobe RGB (1998) as colord ships it (a version 4 profile, its name in many languages).
std::vector<std::uint8_t> AdobeRgbProfile();
// Display P3 (P3 primaries, D65 white, the sRGB curve), as phones tag their photos, built with
// LittleCMS.
std::vector<std::uint8_t> DisplayP3Profile();
// The profile's bytes in a file of its own, for transicc.
void WriteProfile(const std::filesystem::path& file, const std::vector<std::uint8_t>& icc);

// Puts the profile into a JPEG file as APP2 segments after its start, cut into pieces of at most
// the given size as encoders do for large profiles.
void EmbedIccInJpeg(const std::filesystem::path& file, const std::vector<std::uint8_t>& icc,
                    std::size_t pieceBytes = 65519);
// Puts the profile into a WebP file as an ICCP chunk.
void EmbedIccInWebp(const std::filesystem::path& file, const std::vector<std::uint8_t>& icc);

} // namespace pirela::test
