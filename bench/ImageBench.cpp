// Our image readers and the quarter turn, each as a ratio to the best the underlying library
// (or the machine) does with the same file in the same run:
//   JPEG: libjpeg-turbo's full-size decode, many rows a call, straight into BGR rows;
//   PNG:  png_read_image into bare rows, no transformations;
//   BMP:  reading the file into memory;
//   turn: a memcpy of the same bytes.
// Run: image_bench CORPUS_FOLDER [benchmark options] (scripts/bench.sh makes the corpus).
#include "BareJpeg.h"
#include "RatioReport.h"

#include "image/BmpReader.h"
#include "image/JpegReader.h"
#include "image/PngReader.h"
#include "image/Rotation.h"

#include <jpeglib.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace pirela;

namespace {

fs::path gCorpus;

fs::path CorpusFile(const char* name) {
    return gCorpus / name;
}

void LibraryJpegOnce(const fs::path& file) {
    std::FILE* in = std::fopen(file.c_str(), "rb");
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, in);
    pirela::bench::DecodeJpegIntoBuffer(info);
    jpeg_destroy_decompress(&info);
    std::fclose(in);
}

void LibraryJpeg(benchmark::State& state, const char* name) {
    const fs::path file = CorpusFile(name);
    for (auto _ : state) {
        LibraryJpegOnce(file);
    }
}

void LibraryPngOnce(const fs::path& file) {
    {
        std::FILE* in = std::fopen(file.c_str(), "rb");
        png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        png_init_io(png, in);
        png_read_info(png, info);
        png_set_interlace_handling(png);
        png_read_update_info(png, info);
        const std::size_t rowBytes = png_get_rowbytes(png, info);
        const png_uint_32 height = png_get_image_height(png, info);
        auto* pixels = static_cast<png_bytep>(std::malloc(rowBytes * height));
        std::vector<png_bytep> rows(height);
        for (png_uint_32 y = 0; y < height; ++y) {
            rows[y] = pixels + rowBytes * y;
        }
        png_read_image(png, rows.data());
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(in);
        benchmark::DoNotOptimize(pixels);
        std::free(pixels);
    }
}

void LibraryPng(benchmark::State& state, const char* name) {
    const fs::path file = CorpusFile(name);
    for (auto _ : state) {
        LibraryPngOnce(file);
    }
}

void FileIntoMemoryOnce(const fs::path& file) {
    const std::size_t size = fs::file_size(file);
    std::FILE* in = std::fopen(file.c_str(), "rb");
    auto* bytes = static_cast<char*>(std::malloc(size));
    benchmark::DoNotOptimize(std::fread(bytes, 1, size, in));
    std::fclose(in);
    std::free(bytes);
}

void FileIntoMemory(benchmark::State& state, const char* name) {
    const fs::path file = CorpusFile(name);
    for (auto _ : state) {
        FileIntoMemoryOnce(file);
    }
}

template <class Reader>
void OurReader(benchmark::State& state, const char* name, Reader read) {
    const fs::path file = CorpusFile(name);
    for (auto _ : state) {
        auto bitmap = read(file);
        if (!bitmap) {
            state.SkipWithError("the reader refused the file");
            return;
        }
        benchmark::DoNotOptimize(bitmap->Pixels());
    }
}

std::unique_ptr<Bitmap> Photo24() {
    return ReadJpegFile(CorpusFile("photo.jpg"));
}

void QuarterTurn(benchmark::State& state) {
    const auto photo = Photo24();
    for (auto _ : state) {
        auto turned = TurnBitmapQuarter(*photo, kTurnLeft);
        benchmark::DoNotOptimize(turned->Pixels());
    }
}

void MemcpyOfTheSameBytes(benchmark::State& state) {
    const auto photo = Photo24();
    for (auto _ : state) {
        auto* copy = static_cast<std::uint8_t*>(std::calloc(photo->PixelBytes(), 1));
        std::memcpy(copy, photo->Pixels(), photo->PixelBytes());
        benchmark::DoNotOptimize(copy);
        std::free(copy);
    }
}

struct Case {
    const char* name;
    const char* file;
    void (*reference)(benchmark::State&, const char*);
    void (*referenceOnce)(const fs::path&);
    std::unique_ptr<Bitmap> (*reader)(const fs::path&);
};

const Case kCases[]{
    {"jpeg photo 6000x4000", "photo.jpg", LibraryJpeg, LibraryJpegOnce, ReadJpegFile},
    {"jpeg progressive 6000x4000", "photo-progressive.jpg", LibraryJpeg, LibraryJpegOnce, ReadJpegFile},
    {"jpeg grey 4000x3000", "grey.jpg", LibraryJpeg, LibraryJpegOnce, ReadJpegFile},
    {"png rgb 4000x3000", "rgb.png", LibraryPng, LibraryPngOnce, ReadPngFile},
    {"png gAMA 1/2.2 4000x3000", "rgb-srgb-gamma.png", LibraryPng, LibraryPngOnce, ReadPngFile},
    {"png interlaced 4000x3000", "rgb-interlaced.png", LibraryPng, LibraryPngOnce, ReadPngFile},
    {"png palette 2000x2000", "palette.png", LibraryPng, LibraryPngOnce, ReadPngFile},
    {"bmp 24-bit 4000x3000", "rgb24.bmp", FileIntoMemory, FileIntoMemoryOnce, ReadBmpFile},
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: image_bench CORPUS_FOLDER [benchmark options]\n");
        return 2;
    }
    gCorpus = argv[1];
    argv[1] = argv[0];
    ++argv;
    --argc;
    std::vector<std::pair<std::string, std::string>> pairs;
    for (const Case& c : kCases) {
        const std::string ours = std::string(c.name) + " / ours";
        const std::string reference = std::string(c.name) + " / reference";
        benchmark::RegisterBenchmark(reference.c_str(), c.reference, c.file)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(ours.c_str(), [c](benchmark::State& s) { OurReader(s, c.file, c.reader); })
            ->Unit(benchmark::kMillisecond);
        pairs.emplace_back(ours, reference);
    }
    benchmark::RegisterBenchmark("turn 6000x4000 / memcpy", MemcpyOfTheSameBytes)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("turn 6000x4000 / ours", QuarterTurn)->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    pirela::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios(pairs, 1.05);
    reporter.PrintRatios({{"turn 6000x4000 / ours", "turn 6000x4000 / memcpy"}}, 5.0);

    std::printf("\npaired ratios (median of 9 rounds, ours and the reference back to back):\n");
    for (const Case& c : kCases) {
        const fs::path file = CorpusFile(c.file);
        const double ratio = pirela::bench::PairedMedianRatio(
            [&] { benchmark::DoNotOptimize(c.reader(file)); }, [&] { c.referenceOnce(file); });
        std::printf("  %-40s %6.3f\n", c.name, ratio);
    }
    benchmark::Shutdown();
    return 0;
}
