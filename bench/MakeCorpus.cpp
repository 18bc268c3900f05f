// Writes the decoding benchmark's corpus into the given folder (skipping files already there):
// photo-like JPEGs (6000 x 4000 baseline and progressive, 4000 x 3000 grey), PNGs (4000 x 3000
// RGB, plain, interlaced and with a gAMA of 1/2.2; 2000 x 2000 palette) and a 4000 x 3000 24-bit BMP.
#include "support/ImageFixtures.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;
using namespace pirela;

namespace {

template <class Make>
void MakeOnce(const fs::path& file, Make make) {
    if (!fs::exists(file)) {
        std::printf("writing %s\n", file.c_str());
        make(file);
    }
}

test::PngImage Palette2000() {
    test::PngImage image;
    image.width = image.height = 2000;
    image.colourType = PNG_COLOR_TYPE_PALETTE;
    image.bitDepth = 8;
    for (int i = 0; i < 256; ++i) {
        image.palette.insert(image.palette.end(),
                             {std::uint8_t(i), std::uint8_t(255 - i), std::uint8_t(i * 7)});
    }
    const test::Samples samples = test::PhotoLike(2000, 2000, 1, 5);
    for (int y = 0; y < 2000; ++y) {
        const auto* row = samples.data.data() + std::size_t(y) * 2000;
        image.rows.emplace_back(row, row + 2000);
    }
    return image;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_bench_corpus FOLDER\n");
        return 2;
    }
    const fs::path dir = argv[1];
    fs::create_directories(dir);
    MakeOnce(dir / "photo.jpg", [](const fs::path& f) {
        test::WriteJpeg(f, test::PhotoLike(6000, 4000, 3), false);
    });
    MakeOnce(dir / "photo-progressive.jpg", [](const fs::path& f) {
        test::WriteJpeg(f, test::PhotoLike(6000, 4000, 3), true);
    });
    MakeOnce(dir / "grey.jpg", [](const fs::path& f) {
        test::WriteJpeg(f, test::PhotoLike(4000, 3000, 1), false);
    });
    MakeOnce(dir / "rgb.png", [](const fs::path& f) {
        test::WritePng(f, test::PngFromSamples(test::PhotoLike(4000, 3000, 3)));
    });
    MakeOnce(dir / "rgb-interlaced.png", [](const fs::path& f) {
        test::PngImage image = test::PngFromSamples(test::PhotoLike(4000, 3000, 3));
        image.interlaced = true;
        test::WritePng(f, image);
    });
    MakeOnce(dir / "rgb-srgb-gamma.png", [](const fs::path& f) {
        test::PngImage image = test::PngFromSamples(test::PhotoLike(4000, 3000, 3));
        image.gamma = 1 / 2.2; // as most editors write it: no gamma correction needed
        test::WritePng(f, image);
    });
    MakeOnce(dir / "palette.png", [](const fs::path& f) { test::WritePng(f, Palette2000()); });
    MakeOnce(dir / "rgb24.bmp", [](const fs::path& f) {
        BitmapInfoHeader header;
        header.width = 4000;
        header.height = 3000;
        header.bitCount = 24;
        auto bitmap = Bitmap::Create(header);
        const test::Samples samples = test::PhotoLike(4000, 3000, 3);
        for (int y = 0; y < 3000; ++y) {
            std::copy_n(samples.data.data() + std::size_t(y) * 12000, 12000, bitmap->PictureRow(y));
        }
        test::WriteBytes(f, test::EncodeBmp(*bitmap));
    });
    return 0;
}
