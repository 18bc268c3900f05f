// Thumbnails of a whole shoot, measured against references taken in the same run:
//   from a cold cache, 1,000 photos of 24 megapixels (hard links to the corpus's eight): Pirela's
//   thumbnail workers against nsxiv -t filling its own cache (target <= 0.5; needs nsxiv and
//   an X display, else left out) and against a bare libjpeg-turbo decode at 1/8 with the
//   nearest pixels written as a PNG by libpng, on as many threads as Pirela's workers
//   (target <= 1.3);
//   the first screen of the grid from the warm cache (60 cells) against reading and decoding
//   the same 60 PNGs bare on as many threads (target <= 1.5, median of paired rounds);
//   the memory of a grid of 100,000 photos while it scrolls page by page through the list
//   (hard links to the corpus's small photos): the list's own cost, and the growth while
//   scrolling against the bound on thumbnails held.
// Run: thumbnail_bench CORPUS_FOLDER [PHOTOS [GRID [warm]]] (scripts/bench.sh makes the corpus and
// runs it under xvfb-run).
#include "RatioReport.h"
#include "thumbnail/FileUri.h"
#include "thumbnail/ThumbnailProvider.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <mutex>
#include <png.h>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>
// jpeglib.h needs size_t and FILE declared before it.
#include <cstddef>
#include <jpeglib.h>

namespace fs = std::filesystem;
using namespace pirela;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kBox = 128; // nsxiv's own default thumbnail size
constexpr int kCellsInSight = 60;
constexpr std::size_t kMemoryBound = std::size_t{64} << 20;

double Since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Hard links to the corpus's photos, count of them, in a folder of their own.
std::vector<std::string> LinkShoot(const fs::path& photos, const fs::path& folder, int count) {
    std::vector<fs::path> originals;
    for (const auto& entry : fs::directory_iterator(photos)) {
        originals.push_back(entry.path());
    }
    std::sort(originals.begin(), originals.end());
    fs::create_directories(folder);
    std::vector<std::string> files;
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "IMG_%06d.jpg", i);
        const fs::path link = folder / name;
        fs::create_hard_link(originals[std::size_t(i) % originals.size()], link);
        files.push_back(link.string());
    }
    return files;
}

std::size_t FilesUnder(const fs::path& folder) {
    std::size_t count = 0;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(folder, error);
         it != fs::recursive_directory_iterator(); it.increment(error)) {
        count += it->is_regular_file(error) ? 1 : 0;
    }
    return count;
}

void WaitForFiles(const fs::path& folder, std::size_t count, pid_t child = 0) {
    while (FilesUnder(folder) < count) {
        if (child != 0 && ::waitpid(child, nullptr, WNOHANG) == child) {
            std::fprintf(stderr, "the reference ended before its cache was full\n");
            std::exit(1);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

int Workers() {
    return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

// Runs work(i) for every i below count on as many threads as Pirela has workers.
void OnEveryCore(std::size_t count, const std::function<void(std::size_t)>& work) {
    std::atomic<std::size_t> next{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < Workers(); ++t) {
        threads.emplace_back([&] {
            for (std::size_t i = next++; i < count; i = next++) {
                work(i);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
}

// --- The bare references ---

void BarePng(const fs::path& file, int width, int height, const std::vector<std::uint8_t>& rgba) {
    std::FILE* out = std::fopen(file.c_str(), "wb");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)) != 0) {
        std::exit(1);
    }
    png_init_io(png, out);
    png_set_compression_level(png, 1); // Pirela's settings
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB_ALPHA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        png_write_row(png, rgba.data() + std::size_t(y) * width * 4);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(out);
}

void BareThumbnail(const fs::path& photo, const fs::path& out) {
    std::FILE* in = std::fopen(photo.c_str(), "rb");
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, in);
    jpeg_read_header(&info, TRUE);
    info.scale_num = 1;
    info.scale_denom = 8;
    info.out_color_space = JCS_EXT_RGBA;
    jpeg_start_decompress(&info);
    const int width = int(info.output_width);
    const int height = int(info.output_height);
    std::vector<std::uint8_t> pixels(std::size_t(width) * height * 4);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = pixels.data() + std::size_t(info.output_scanline) * width * 4;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::fclose(in);
    const int longer = std::max(width, height);
    const int w = std::max(1, width * kBox / longer);
    const int h = std::max(1, height * kBox / longer);
    std::vector<std::uint8_t> thumbnail(std::size_t(w) * h * 4);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::size_t from = (std::size_t(y * height / h) * width + x * width / w) * 4;
            std::copy_n(pixels.data() + from, 4, thumbnail.data() + (std::size_t(y) * w + x) * 4);
        }
    }
    BarePng(out, w, h, thumbnail);
}

double BareCold(const std::vector<std::string>& photos, const fs::path& out) {
    fs::create_directories(out);
    const auto start = Clock::now();
    OnEveryCore(photos.size(), [&](std::size_t i) {
        BareThumbnail(photos[i], out / (fs::path(photos[i]).filename().string() + ".png"));
    });
    return Since(start);
}

void BareRead(const fs::path& file) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    png_image_begin_read_from_file(&image, file.c_str());
    image.format = PNG_FORMAT_BGRA;
    std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
    png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr);
}

// --- nsxiv ---

double NsxivCold(const std::vector<std::string>& photos, const fs::path& cacheHome,
                 std::size_t expected) {
    fs::create_directories(cacheHome);
    std::vector<char*> arguments{const_cast<char*>("nsxiv"), const_cast<char*>("-t"),
                                 const_cast<char*>("-q"), const_cast<char*>("-g"),
                                 const_cast<char*>("1600x1000")};
    for (const std::string& photo : photos) {
        arguments.push_back(const_cast<char*>(photo.c_str()));
    }
    arguments.push_back(nullptr);
    const auto start = Clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::setenv("XDG_CACHE_HOME", cacheHome.c_str(), 1);
        std::freopen("/dev/null", "w", stderr);
        ::execvp("nsxiv", arguments.data());
        ::_exit(127);
    }
    WaitForFiles(cacheHome, expected, child);
    const double seconds = Since(start);
    ::kill(child, SIGTERM);
    ::waitpid(child, nullptr, 0);
    return seconds;
}

bool NsxivRuns() {
    return std::getenv("DISPLAY") != nullptr && std::system("command -v nsxiv >/dev/null") == 0;
}

// --- Pirela ---

// Counts the cells in sight that have their thumbnail.
class SightWatch {
public:
    void Ready(int index) {
        const std::lock_guard lock(mutex_);
        if (index < kCellsInSight && !seen_[std::size_t(index)]) {
            seen_[std::size_t(index)] = true;
            ++count_;
            changed_.notify_all();
        }
    }
    void WaitForAll() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return count_ == kCellsInSight; });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<bool> seen_ = std::vector<bool>(kCellsInSight);
    int count_ = 0;
};

// The files' thumbnails into the cache, which then holds `expected` in all.
double OursCold(const std::vector<std::string>& photos, const fs::path& cacheRoot,
                std::size_t expected) {
    const auto start = Clock::now();
    ThumbnailProvider provider(ThumbnailCache(cacheRoot, "pirela-bench"), kBox, kMemoryBound, {});
    provider.SetFiles(photos);
    provider.SetVisible(0, kCellsInSight);
    WaitForFiles(cacheRoot / "normal", expected);
    return Since(start);
}

void OursFirstScreen(const std::vector<std::string>& photos, const fs::path& cacheRoot) {
    SightWatch watch;
    ThumbnailProvider provider(ThumbnailCache(cacheRoot, "pirela-bench"), kBox, kMemoryBound,
                               [&watch](int index) { watch.Ready(index); });
    provider.SetFiles(photos);
    provider.SetVisible(0, kCellsInSight);
    // Cells made before they came into sight are told of by nobody: the view paints them.
    for (int i = 0; i < kCellsInSight; ++i) {
        if (provider.CellAt(i).state == ThumbnailProvider::CellState::Ready) {
            watch.Ready(i);
        }
    }
    watch.WaitForAll();
}

// --- Memory ---

double StatusMebibytes(const std::string& key) {
    std::ifstream status("/proc/self/status");
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

void ResetPeakMemory() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

void MeasureGridMemory(const fs::path& smallPhotos, const fs::path& scratch, int count) {
    std::printf("\nmemory of a grid of %d photos, scrolling (256-pixel cells, bound %zu MiB):\n",
                count, kMemoryBound >> 20);
    std::vector<std::string> photos = LinkShoot(smallPhotos, scratch / "grid", count);
    const double before = StatusMebibytes("VmRSS");
    ThumbnailProvider provider(ThumbnailCache(scratch / "grid-cache", "pirela-bench"), 256,
                               kMemoryBound, {});
    provider.SetFiles(photos);
    const double listed = StatusMebibytes("VmRSS");
    ResetPeakMemory();
    std::size_t mostHeld = 0;
    const int pages = 200;
    for (int page = 0; page < pages; ++page) {
        const int first = int(std::int64_t(count - kCellsInSight) * page / (pages - 1));
        provider.SetVisible(first, kCellsInSight);
        for (int i = 0; i < kCellsInSight; ++i) {
            while (provider.CellAt(first + i).state == ThumbnailProvider::CellState::Waiting) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        }
        mostHeld = std::max(mostHeld, provider.HeldBytes());
    }
    const double peak = StatusMebibytes("VmHWM");
    std::printf("  resident before the list          %8.1f MiB\n", before);
    std::printf("  the list given to the workers     %8.1f MiB (%.0f bytes a photo)\n",
                listed - before, (listed - before) * 1048576 / count);
    std::printf("  most thumbnails held              %8.1f MiB\n", double(mostHeld) / 1048576);
    std::printf("  peak growth while scrolling       %8.1f MiB = %.2f of the bound\n",
                peak - listed, (peak - listed) / double(kMemoryBound >> 20));
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: thumbnail_bench CORPUS_FOLDER [PHOTOS [GRID [warm]]]\n");
        return 2;
    }
    const fs::path corpus = fs::absolute(argv[1]); // the cache knows files by absolute paths
    const int count = argc > 2 ? std::atoi(argv[2]) : 1000;
    const int grid = argc > 3 ? std::atoi(argv[3]) : 100000;
    // "warm": the cache is filled without the references, for the other two measures alone.
    const bool warmOnly = argc > 4 && std::string(argv[4]) == "warm";
    if (count < kCellsInSight || grid < kCellsInSight) {
        std::fprintf(stderr, "thumbnail_bench: at least %d photos, a screen of them\n",
                     kCellsInSight);
        return 2;
    }
    std::string pattern = (corpus / "thumbnail-bench-XXXXXX").string();
    const fs::path scratch = ::mkdtemp(pattern.data());
    const std::vector<std::string> photos = LinkShoot(corpus / "shoot", scratch / "shoot", count);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    for (const auto& entry : fs::directory_iterator(corpus / "shoot")) { // into the page cache
        std::ifstream(entry.path(), std::ios::binary)
            .ignore(std::numeric_limits<std::streamsize>::max());
    }

    // In rounds of a tenth of the shoot each, every contender on the same photos back to back,
    // so that a shared machine's drifts touch all sides of each round's ratios alike.
    const int rounds = std::min(10, count);
    const bool withNsxiv = NsxivRuns() && !warmOnly;
    std::printf("%d photos of 24 megapixels in %d rounds, %d workers, thumbnails of %d pixels\n",
                count, rounds, Workers(), kBox);
    std::vector<double> toBare;
    std::vector<double> toNsxiv;
    double bareTotal = 0;
    double oursTotal = 0;
    double nsxivTotal = 0;
    for (int round = 0; round < rounds; ++round) {
        const auto begin = photos.begin() + std::ptrdiff_t(photos.size()) * round / rounds;
        const auto end = photos.begin() + std::ptrdiff_t(photos.size()) * (round + 1) / rounds;
        const std::vector<std::string> part(begin, end);
        const std::size_t done = std::size_t(end - photos.begin());
        const double bare = warmOnly ? 1 : BareCold(part, scratch / "bare");
        const double ours = OursCold(part, scratch / "cache", done);
        bareTotal += bare;
        oursTotal += ours;
        toBare.push_back(ours / bare);
        if (withNsxiv) {
            const double nsxiv = NsxivCold(part, scratch / "nsxiv", done);
            nsxivTotal += nsxiv;
            toNsxiv.push_back(ours / nsxiv);
        }
    }
    const auto median = [](std::vector<double> values) {
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    if (warmOnly) {
        std::printf("  Pirela from a cold cache      %7.2f s (no references)\n", oursTotal);
    } else {
        std::printf("  bare libjpeg-turbo 1/8 + PNG  %7.2f s\n", bareTotal);
        std::printf(
            "  Pirela from a cold cache      %7.2f s   median ratio %.3f (target <= 1.30)\n",
            oursTotal, median(toBare));
    }
    if (withNsxiv) {
        std::printf(
            "  nsxiv -t filling its cache    %7.2f s   median ratio %.3f (target <= 0.50)\n",
            nsxivTotal, median(toNsxiv));
    } else if (!warmOnly) {
        std::printf("  nsxiv -t left out: it needs nsxiv and an X display (xvfb-run)\n");
    }
    std::fflush(stdout);

    std::vector<fs::path> visiblePngs;
    const ThumbnailCache cache(scratch / "cache", "pirela-bench");
    for (int i = 0; i < kCellsInSight && i < count; ++i) {
        visiblePngs.push_back(cache.PathOf(ThumbnailSize::Normal, FileUri(photos[std::size_t(i)])));
    }
    const double firstScreen = bench::PairedMedianRatio(
        [&] { OursFirstScreen(photos, scratch / "cache"); },
        [&] { OnEveryCore(visiblePngs.size(), [&](std::size_t i) { BareRead(visiblePngs[i]); }); },
        15);
    std::printf("\nfirst screen (%d cells) from the warm cache / bare PNG reads = %.3f "
                "(target <= 1.50)\n",
                kCellsInSight, firstScreen);

    MeasureGridMemory(corpus / "shoot-small", scratch, grid);
    fs::remove_all(scratch);
    return 0;
}
