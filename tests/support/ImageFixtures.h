#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// Image files made on the spot by the real encoders, for tests, benchmarks and fuzz seeds.
namespace pirela::test {

// Interleaved samples, top row first: 1 (grey), 3 (RGB) or 4 (CMYK) per pixel.
struct Samples {
    int width = 0;
    int height = 0;
    int components = 3;
    std::vector<std::uint8_t> data;

    std::uint8_t* Row(int y) { return data.data() + std::size_t(y) * width * components; }
};

// A picture with smooth gradients, edges and fine noise, like a photograph. Deterministic.
Samples PhotoLike(int width, int height, int components, unsigned seed = 1);

// Writes a JPEG (grey, RGB as YCbCr, or CMYK by the component count).
void WriteJpeg(const std::filesystem::path& file, const Samples& samples, bool progressive,
               int quality = 90);
// The same with an APP1 segment holding the given bytes (an EXIF block).
void WriteJpeg(const std::filesystem::path& file, const Samples& samples, bool progressive,
               int quality, const std::vector<std::uint8_t>& app1);

// Puts a second frame header three quarters into a JPEG's picture data: every row still
// decodes, then the library gives up on the file at its end.
void BreakJpegAfterItsRows(const std::filesystem::path& file);

// A text chunk: tEXt, zTXt or iTXt, before or after the picture data.
struct PngText {
    enum class Kind { Plain, Compressed, International };
    std::string key;
    std::string value;
    Kind kind = Kind::Plain;
    bool afterPicture = false;
};

struct PngImage {
    int width = 0;
    int height = 0;
    int colourType = 2; // PNG_COLOR_TYPE_*
    int bitDepth = 8;
    std::vector<std::vector<std::uint8_t>> rows; // packed PNG rows, top first, big-endian 16-bit
    std::vector<std::uint8_t> palette;           // r, g, b triples for palette images
    std::optional<double> gamma;                 // a gAMA chunk when set
    std::vector<std::uint8_t> transparency;      // a tRNS chunk (palette alphas) when not empty
    bool interlaced = false;
    std::vector<PngText> texts;
    std::vector<std::uint8_t> icc; // an iCCP chunk when not empty
    bool srgb = false;             // an sRGB chunk
    // A cHRM chunk: white x, y, then red, green and blue x, y.
    std::optional<std::array<double, 8>> chromaticities;
};

void WritePng(const std::filesystem::path& file, const PngImage& image);

// A PNG image of the samples (grey or RGB, 8 bits).
PngImage PngFromSamples(const Samples& samples);

std::string ReadBytes(const std::filesystem::path& file);
void WriteBytes(const std::filesystem::path& file, const std::string& bytes);

} // namespace pirela::test

#include "image/Bitmap.h"

namespace pirela::test {

// The bitmap as a .bmp file: 40-byte header, masks, colour table, pixels in its row order.
std::string EncodeBmp(const Bitmap& bitmap);

} // namespace pirela::test
