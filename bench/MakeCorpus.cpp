// Writes the decoding benchmark's corpus into the given folder (skipping files already there):
// photo-like JPEGs (6000 x 4000 baseline and progressive, 4000 x 3000 grey), PNGs (4000 x 3000
// RGB, plain, interlaced and with a gAMA of 1/2.2; 2000 x 2000 palette) and a 4000 x 3000 24-bit
// BMP; for the camera roll's benchmark, 6000 x 4000 JPEGs with an EXIF orientation of 1, 3 and 6,
// 4000 x 3000 HEIC, AVIF, lossy WebP and TIFFs (8-bit LZW, 16-bit deflate, CMYK), a 2000 x 1500
// lossless WebP, a 2000 x 2000 GIF, a DNG holding a 6000 x 4000 JPEG preview, and a hostile
// HEIC grid whose one tile stands for 850; for the thumbnail benchmark, a shoot of eight
// different 6000 x 4000 photos (two of them upright by their EXIF orientation) and sixteen
// 1600 x 1200 ones.
#include "HeifGrid.h"
#include "support/CameraFixtures.h"
#include "support/ImageFixtures.h"

#include <tiffio.h>

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

void WriteCameraRollCorpus(const fs::path& dir) {
    for (const int orientation : {1, 3, 6}) {
        const fs::path file = dir / ("photo-exif" + std::to_string(orientation) + ".jpg");
        MakeOnce(file, [orientation](const fs::path& f) {
            test::WriteOrientedJpeg(f, test::PhotoLike(6000, 4000, 3), orientation);
        });
    }
    const auto photo12 = [] { return test::PhotoLike(4000, 3000, 3); };
    MakeOnce(dir / "photo.heic", [&](const fs::path& f) { test::WriteHeif(f, photo12()); });
    // A hostile grid: two kilobytes whose one flat 512 x 512 tile stands for 850 (34 x 25).
    MakeOnce(dir / "grid.heic", [&dir](const fs::path& f) {
        const fs::path tile = dir / "grid-tile.heic";
        test::WriteHeif(tile, {512, 512, 3, std::vector<std::uint8_t>(512 * 512 * 3, 90)});
        bench::WriteHeifGrid(f, tile, 512, 512, 34, 25);
        fs::remove(tile);
    });
    MakeOnce(dir / "photo.avif", [&](const fs::path& f) { test::WriteHeif(f, photo12(), {true}); });
    MakeOnce(dir / "photo.webp", [&](const fs::path& f) { test::WriteWebp(f, photo12(), false); });
    MakeOnce(dir / "lossless.webp", [](const fs::path& f) {
        test::WriteWebp(f, test::PhotoLike(2000, 1500, 3), true);
    });
    MakeOnce(dir / "photo-lzw.tif", [&](const fs::path& f) { test::WriteTiff(f, photo12()); });
    MakeOnce(dir / "photo-16.tif", [&](const fs::path& f) {
        test::WriteTiff(f, photo12(), {16, COMPRESSION_ADOBE_DEFLATE});
    });
    MakeOnce(dir / "cmyk.tif", [](const fs::path& f) {
        test::WriteTiff(f, test::PhotoLike(4000, 3000, 4), {8, COMPRESSION_LZW, true});
    });
    MakeOnce(dir / "photo.gif", [](const fs::path& f) {
        const test::Samples grey = test::PhotoLike(2000, 2000, 1, 7);
        test::GifFrame frame{2000, 2000, 0, 0, 2000, 2000, grey.data, {}};
        for (int i = 0; i < 256; ++i) {
            frame.palette.insert(frame.palette.end(),
                                 {std::uint8_t(i), std::uint8_t(255 - i), std::uint8_t(i / 2)});
        }
        test::WriteGif(f, frame);
    });
    MakeOnce(dir / "photo.dng", [&dir](const fs::path& f) {
        test::WriteDng(f, test::ReadBytes(dir / "photo.jpg"), 1);
    });
}

void WriteShootCorpus(const fs::path& dir) {
    fs::create_directories(dir / "shoot");
    for (unsigned shot = 0; shot < 8; ++shot) {
        MakeOnce(dir / "shoot" / ("shot" + std::to_string(shot) + ".jpg"), [shot](const fs::path& f) {
            test::WriteOrientedJpeg(f, test::PhotoLike(6000, 4000, 3, 10 + shot), shot % 4 == 3 ? 6 : 1);
        });
    }
    fs::create_directories(dir / "shoot-small");
    for (unsigned shot = 0; shot < 16; ++shot) {
        MakeOnce(dir / "shoot-small" / ("shot" + std::to_string(shot) + ".jpg"), [shot](const fs::path& f) {
            test::WriteOrientedJpeg(f, test::PhotoLike(1600, 1200, 3, 30 + shot), 1);
        });
    }
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
    WriteCameraRollCorpus(dir);
    WriteShootCorpus(dir);
    return 0;
}
