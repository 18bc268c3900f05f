// Writes small, varied image files as the fuzzers' starting corpus:
// make_seeds DIR fills DIR/bmp_fuzzer, DIR/jpeg_fuzzer and DIR/png_fuzzer.
#include "support/ImageFixtures.h"

#include <png.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;
using namespace pirela;

namespace {

void WriteBmpSeeds(const fs::path& dir) {
    const test::Samples samples = test::PhotoLike(13, 7, 3);
    for (int bitCount : {1, 4, 8, 16, 24, 32}) {
        BitmapInfoHeader header;
        header.width = 13;
        header.height = bitCount == 24 ? -7 : 7;
        header.bitCount = static_cast<std::uint16_t>(bitCount);
        header.compression = bitCount == 16 ? kBiBitfields : kBiRgb;
        std::vector<RgbQuad> table;
        if (bitCount <= 8) {
            table.resize(std::size_t{1} << bitCount, RgbQuad{10, 20, 30, 0});
        }
        auto bitmap = Bitmap::Create(header, table, {0xF800, 0x07E0, 0x001F});
        for (std::size_t i = 0; i < bitmap->PixelBytes(); ++i) {
            bitmap->Pixels()[i] = samples.data[i % samples.data.size()];
        }
        test::WriteBytes(dir / ("seed" + std::to_string(bitCount) + ".bmp"), test::EncodeBmp(*bitmap));
    }
}

void WriteJpegSeeds(const fs::path& dir) {
    test::WriteJpeg(dir / "baseline.jpg", test::PhotoLike(33, 17, 3), false, 75);
    test::WriteJpeg(dir / "progressive.jpg", test::PhotoLike(33, 17, 3), true, 75);
    test::WriteJpeg(dir / "grey.jpg", test::PhotoLike(9, 9, 1), false, 75);
    test::WriteJpeg(dir / "cmyk.jpg", test::PhotoLike(8, 8, 4), false, 75);
}

void WritePngSeeds(const fs::path& dir) {
    test::PngImage rgb = test::PngFromSamples(test::PhotoLike(11, 7, 3));
    test::WritePng(dir / "rgb.png", rgb);
    rgb.interlaced = true;
    rgb.gamma = 1 / 2.2;
    test::WritePng(dir / "interlaced.png", rgb);
    test::PngImage palette;
    palette.width = 5;
    palette.height = 3;
    palette.colourType = PNG_COLOR_TYPE_PALETTE;
    palette.bitDepth = 4;
    palette.rows.assign(3, {0x01, 0x23, 0x40});
    palette.palette = {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 9, 9};
    test::WritePng(dir / "palette.png", palette);
    test::PngImage rgba;
    rgba.width = 2;
    rgba.height = 2;
    rgba.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    rgba.bitDepth = 16;
    rgba.rows.assign(2, std::vector<std::uint8_t>(16, 0x7F));
    test::WritePng(dir / "rgba16.png", rgba);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    const fs::path root = argv[1];
    for (const char* name : {"bmp_fuzzer", "jpeg_fuzzer", "png_fuzzer"}) {
        fs::create_directories(root / name);
    }
    WriteBmpSeeds(root / "bmp_fuzzer");
    WriteJpegSeeds(root / "jpeg_fuzzer");
    WritePngSeeds(root / "png_fuzzer");
    return 0;
}
