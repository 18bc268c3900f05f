// What the decoder helper costs, as ratios to the same work in Pirela's own process, measured
// in the same run (the median of rounds with both back to back):
//   paging through 12-megapixel HEIC photos: the decode and the scale to a window of
//   1280 x 960, what a key waits for before the next picture shows (target <= 1.05);
//   a 24-megapixel JPEG, a 12-megapixel PNG and BMP decoded in the helper (the measure behind
//   keeping them in Pirela);
// and the helper's peak address space and resident memory against its address space limit.
// Run: sandbox_bench CORPUS_FOLDER (scripts/bench.sh makes the corpus).
#include "RatioReport.h"
#include "image/ImageDecoder.h"
#include "image/ImageScaler.h"
#include "sandbox/DecoderLimits.h"
#include "sandbox/DecoderPool.h"
#include "sandbox/HelperDecode.h"

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <libheif/heif.h>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace pirela;

namespace {

constexpr int kWindowWidth = 1280;
constexpr int kWindowHeight = 960;

// One decode of the file, in the helper or here.
std::unique_ptr<Bitmap> Decode(const fs::path& file, ImageFormat format, DecoderPool* pool) {
    const int descriptor = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    std::FILE* stream = ::fdopen(descriptor, "rb");
    auto bitmap = pool != nullptr ? DecodeInHelper(descriptor, format, {}, *pool)
                                  : DecodeImageStream(stream, format, {});
    std::fclose(stream);
    if (!bitmap) {
        std::fprintf(stderr, "%s could not be decoded\n", file.c_str());
        std::exit(1);
    }
    return bitmap;
}

// What a key waits for before the next picture shows: the decode, then the scale to the window.
void Page(const fs::path& file, ImageFormat format, DecoderPool* pool) {
    ScaleDown(*Decode(file, format, pool), kWindowWidth, kWindowHeight);
}

// A line of /proc/PID/status ("VmPeak:  123 kB") in MiB.
double StatusMebibytes(pid_t pid, const std::string& key) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string word;
    while (status >> word) {
        if (word == key + ":") {
            double kibibytes = 0;
            status >> kibibytes;
            return kibibytes / 1024;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: sandbox_bench CORPUS_FOLDER\n");
        return 2;
    }
    const fs::path corpus = argv[1];
    heif_init(nullptr);
    // One helper, the one every request goes to, so that its peak memory is that of them all.
    DecoderPool pool(fs::canonical("/proc/self/exe").parent_path().parent_path() / "pirela-decoder",
                     1);
    auto helper = pool.Take();
    const pid_t pid = helper->Pid();
    pool.GiveBack(std::move(helper));

    std::printf("helper ÷ in Pirela (median of 9 paired rounds):\n");
    const fs::path heic = corpus / "photo.heic";
    const double paging = bench::PairedMedianRatio([&] { Page(heic, ImageFormat::Heif, &pool); },
                                                   [&] { Page(heic, ImageFormat::Heif, nullptr); });
    std::printf("  %-44s %6.3f (target <= 1.05)\n", "key -> next picture, 12 MP HEIC", paging);
    const std::pair<const char*, ImageFormat> classic[]{{"photo.jpg", ImageFormat::Jpeg},
                                                        {"rgb.png", ImageFormat::Png},
                                                        {"rgb24.bmp", ImageFormat::Bitmap}};
    for (const auto& [name, format] : classic) {
        const fs::path file = corpus / name;
        const double ratio = bench::PairedMedianRatio([&] { Decode(file, format, &pool); },
                                                      [&] { Decode(file, format, nullptr); });
        std::printf("  %-44s %6.3f\n", (std::string("decode ") + name).c_str(), ratio);
    }
    std::printf("\nhelper's memory: peak address space %.0f MiB, peak resident %.0f MiB; limit "
                "%.0f MiB\n",
                StatusMebibytes(pid, "VmPeak"), StatusMebibytes(pid, "VmHWM"),
                static_cast<double>(kDecoderAddressSpace) / (1 << 20));
    return 0;
}
