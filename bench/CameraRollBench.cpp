// The camera roll's readers, each as a ratio to its library's own bare decode of the same file
// into a buffer, measured in the same run:
//   HEIC, AVIF: libheif's decode to interleaved RGB (read from the file by path);
//   WebP:       the file read into memory and WebPDecodeBGRInto;
//   TIFF:       TIFFReadRGBAImageOriented into a packed 32-bit raster;
//   GIF:        DGifSlurp;
//   RAW:        the file read into memory, libraw's open_buffer and unpack_thumb, then
//               libjpeg-turbo's decode of the preview into BGR rows;
// and what turning photos upright costs a 6000 x 4000 JPEG's decode: the same file with and
// without its EXIF orientation applied (1: only the tag is read; 3: rows mirrored and
// reversed; 6: rows placed as columns).
// Run: camera_roll_bench CORPUS_FOLDER [benchmark options] (scripts/bench.sh makes the corpus).
#include "BareJpeg.h"
#include "RatioReport.h"
#include "image/GifReader.h"
#include "image/HeifReader.h"
#include "image/JpegReader.h"
#include "image/RawPreview.h"
#include "image/TiffReader.h"
#include "image/WebpReader.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gif_lib.h>
#include <iterator>
#include <libheif/heif.h>
#include <libraw.h>
#include <string>
#include <tiffio.h>
#include <unistd.h>
#include <vector>
#include <webp/decode.h>

namespace fs = std::filesystem;
using namespace pirela;

namespace {

fs::path gCorpus;

std::vector<std::uint8_t> FileBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// --- The libraries' bare decodes ---

void BareHeif(const fs::path& file) {
    heif_context* context = heif_context_alloc();
    heif_context_read_from_file(context, file.c_str(), nullptr);
    heif_image_handle* handle = nullptr;
    heif_context_get_primary_image_handle(context, &handle);
    heif_image* image = nullptr;
    heif_decode_image(handle, &image, heif_colorspace_RGB, heif_chroma_interleaved_RGB, nullptr);
    int stride = 0;
    benchmark::DoNotOptimize(
        heif_image_get_plane_readonly(image, heif_channel_interleaved, &stride));
    heif_image_release(image);
    heif_image_handle_release(handle);
    heif_context_free(context);
}

void BareWebp(const fs::path& file) {
    const std::vector<std::uint8_t> bytes = FileBytes(file);
    int width = 0;
    int height = 0;
    WebPGetInfo(bytes.data(), bytes.size(), &width, &height);
    const int stride = (width * 3 + 3) / 4 * 4;
    auto* pixels = static_cast<std::uint8_t*>(std::malloc(std::size_t(stride) * height));
    benchmark::DoNotOptimize(WebPDecodeBGRInto(bytes.data(), bytes.size(), pixels,
                                               std::size_t(stride) * height, stride));
    std::free(pixels);
}

void BareTiff(const fs::path& file) {
    TIFF* tiff = TIFFOpen(file.c_str(), "r");
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
    auto* raster = static_cast<std::uint32_t*>(std::malloc(std::size_t(width) * height * 4));
    benchmark::DoNotOptimize(
        TIFFReadRGBAImageOriented(tiff, width, height, raster, ORIENTATION_TOPLEFT, 0));
    std::free(raster);
    TIFFClose(tiff);
}

void BareGif(const fs::path& file) {
    int error = 0;
    GifFileType* gif = DGifOpenFileName(file.c_str(), &error);
    benchmark::DoNotOptimize(DGifSlurp(gif));
    DGifCloseFile(gif, &error);
}

void BareRaw(const fs::path& file) {
    std::vector<std::uint8_t> bytes = FileBytes(file);
    auto raw = std::make_unique<LibRaw>();
    raw->open_buffer(bytes.data(), bytes.size());
    raw->unpack_thumb();
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<unsigned char*>(raw->imgdata.thumbnail.thumb),
                 raw->imgdata.thumbnail.tlength);
    pirela::bench::DecodeJpegIntoBuffer(info);
    jpeg_destroy_decompress(&info);
}

// --- Ours ---

template <class Read> std::unique_ptr<Bitmap> FromDescriptor(const fs::path& file, Read read) {
    const int descriptor = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    auto bitmap = read(descriptor);
    ::close(descriptor);
    return bitmap;
}

std::unique_ptr<Bitmap> OurHeif(const fs::path& file) {
    return FromDescriptor(file, [](int d) { return ReadHeifDescriptor(d); });
}
std::unique_ptr<Bitmap> OurWebp(const fs::path& file) {
    return FromDescriptor(file, [](int d) { return ReadWebpDescriptor(d); });
}
std::unique_ptr<Bitmap> OurTiff(const fs::path& file) {
    return FromDescriptor(file, [](int d) { return ReadTiffDescriptor(d); });
}
std::unique_ptr<Bitmap> OurGif(const fs::path& file) {
    return FromDescriptor(file, [](int d) { return ReadGifDescriptor(d); });
}
std::unique_ptr<Bitmap> OurRaw(const fs::path& file) {
    return FromDescriptor(file, [](int d) { return ReadRawPreviewDescriptor(d, {}); });
}

std::unique_ptr<Bitmap> JpegAsStored(const fs::path& file) {
    JpegReadOptions options;
    options.applyOrientation = false;
    std::FILE* in = std::fopen(file.c_str(), "rb");
    auto bitmap = ReadJpegStream(in, options);
    std::fclose(in);
    return bitmap;
}

struct Case {
    const char* name;
    const char* file;
    std::unique_ptr<Bitmap> (*ours)(const fs::path&);
    void (*reference)(const fs::path&);
    std::unique_ptr<Bitmap> (*referenceReader)(const fs::path&); // instead, when ours too
};

const Case kCases[]{
    {"heic 4000x3000", "photo.heic", OurHeif, BareHeif, nullptr},
    {"avif 4000x3000", "photo.avif", OurHeif, BareHeif, nullptr},
    {"webp lossy 4000x3000", "photo.webp", OurWebp, BareWebp, nullptr},
    {"webp lossless 2000x1500", "lossless.webp", OurWebp, BareWebp, nullptr},
    {"tiff lzw 4000x3000", "photo-lzw.tif", OurTiff, BareTiff, nullptr},
    {"tiff 16-bit deflate 4000x3000", "photo-16.tif", OurTiff, BareTiff, nullptr},
    {"tiff cmyk 4000x3000", "cmyk.tif", OurTiff, BareTiff, nullptr},
    {"gif 2000x2000", "photo.gif", OurGif, BareGif, nullptr},
    {"raw preview 6000x4000", "photo.dng", OurRaw, BareRaw, nullptr},
    {"jpeg exif 1 6000x4000", "photo-exif1.jpg", ReadJpegFile, nullptr, JpegAsStored},
    {"jpeg exif 3 6000x4000", "photo-exif3.jpg", ReadJpegFile, nullptr, JpegAsStored},
    {"jpeg exif 6 6000x4000", "photo-exif6.jpg", ReadJpegFile, nullptr, JpegAsStored},
};

void RunOurs(benchmark::State& state, const Case& c) {
    const fs::path file = gCorpus / c.file;
    for (auto _ : state) {
        auto bitmap = c.ours(file);
        if (!bitmap) {
            state.SkipWithError("the reader refused the file");
            return;
        }
        benchmark::DoNotOptimize(bitmap->Pixels());
    }
}

void RunReference(benchmark::State& state, const Case& c) {
    const fs::path file = gCorpus / c.file;
    for (auto _ : state) {
        if (c.reference) {
            c.reference(file);
        } else {
            benchmark::DoNotOptimize(c.referenceReader(file));
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: camera_roll_bench CORPUS_FOLDER [benchmark options]\n");
        return 2;
    }
    gCorpus = argv[1];
    argv[1] = argv[0];
    ++argv;
    --argc;
    heif_init(nullptr);
    std::vector<std::pair<std::string, std::string>> pairs;
    for (const Case& c : kCases) {
        const std::string ours = std::string(c.name) + " / ours";
        const std::string reference =
            std::string(c.name) + (c.reference ? " / library" : " / not turned");
        benchmark::RegisterBenchmark(reference.c_str(), [&c](benchmark::State& s) {
            RunReference(s, c);
        })->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(ours.c_str(), [&c](benchmark::State& s) {
            RunOurs(s, c);
        })->Unit(benchmark::kMillisecond);
        pairs.emplace_back(ours, reference);
    }
    benchmark::Initialize(&argc, argv);
    pirela::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios(pairs, 1.05);

    std::printf("\npaired ratios (median of 9 rounds, ours and the reference back to back; target "
                "<= 1.05):\n");
    for (const Case& c : kCases) {
        const fs::path file = gCorpus / c.file;
        const double ratio = pirela::bench::PairedMedianRatio(
            [&] { benchmark::DoNotOptimize(c.ours(file)); },
            [&] {
                if (c.reference) {
                    c.reference(file);
                } else {
                    benchmark::DoNotOptimize(c.referenceReader(file));
                }
            });
        std::printf("  %-40s %6.3f\n", c.name, ratio);
    }
    benchmark::Shutdown();
    return 0;
}
