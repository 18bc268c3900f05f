// Shrinking a 24-bit 6000x4000 photo to 1280x853, as the view's worker prepares its picture:
// ScaleDown against Qt's smooth scaling of the same photo in the same run, once from an
// already converted RGB32 image (Qt's scaling alone) and once with the conversion
// (BitmapSurface, then QImage::scaled), which is what ScaleDown replaces. Times are wall-clock:
// Qt may spread its scaling over the machine's cores, and the CPU column, which counts the whole
// process, shows when it does.
// Run: scale_bench [benchmark options].
#include "RatioReport.h"

#include "image/ImageScaler.h"
#include "support/ImageFixtures.h"
#include "ui/BitmapSurface.h"

#include <QGuiApplication>
#include <QImage>

#include <string>

using namespace pirela;

namespace {

constexpr int kSourceWidth = 6000;
constexpr int kSourceHeight = 4000;
constexpr int kTargetWidth = 1280;
constexpr int kTargetHeight = 853;

std::unique_ptr<Bitmap> PhotoBitmap() {
    BitmapInfoHeader header;
    header.width = kSourceWidth;
    header.height = kSourceHeight; // bottom-up, as most bitmaps are
    header.bitCount = 24;
    auto bitmap = Bitmap::Create(header);
    const test::Samples rgb = test::PhotoLike(kSourceWidth, kSourceHeight, 3);
    for (int y = 0; y < kSourceHeight; ++y) {
        const std::uint8_t* from = rgb.data.data() + std::size_t(y) * kSourceWidth * 3;
        std::uint8_t* to = bitmap->PictureRow(y);
        for (int x = 0; x < kSourceWidth * 3; x += 3) {
            to[x] = from[x + 2];
            to[x + 1] = from[x + 1];
            to[x + 2] = from[x];
        }
    }
    return bitmap;
}

const Bitmap& Photo() {
    static const std::unique_ptr<Bitmap> photo = PhotoBitmap();
    return *photo;
}

void Ours(benchmark::State& state) {
    for (auto _ : state) {
        auto picture = ScaleDown(Photo(), kTargetWidth, kTargetHeight);
        benchmark::DoNotOptimize(picture->pixels.data());
    }
}

void QtScalingAlone(benchmark::State& state) {
    BitmapSurface surface;
    surface.Reset(&Photo());
    const QImage converted = surface.Whole();
    for (auto _ : state) {
        QImage scaled = converted.scaled(kTargetWidth, kTargetHeight, Qt::IgnoreAspectRatio,
                                         Qt::SmoothTransformation);
        benchmark::DoNotOptimize(scaled.constBits());
    }
}

void QtConversionAndScaling(benchmark::State& state) {
    for (auto _ : state) {
        BitmapSurface surface;
        surface.Reset(&Photo());
        QImage scaled = surface.Whole().scaled(kTargetWidth, kTargetHeight, Qt::IgnoreAspectRatio,
                                               Qt::SmoothTransformation);
        benchmark::DoNotOptimize(scaled.constBits());
    }
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    Photo();
    // Google Benchmark's name for a run timed by the wall clock with the process's CPU time.
    const std::string kRun = "/process_time/real_time";
    const std::string ours = "scale 6000x4000 -> 1280x853 / ours";
    const std::string qtAlone = "scale 6000x4000 -> 1280x853 / Qt smooth from RGB32";
    const std::string qtWhole = "scale 6000x4000 -> 1280x853 / Qt convert + smooth";
    benchmark::RegisterBenchmark(qtAlone.c_str(), QtScalingAlone)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
    benchmark::RegisterBenchmark(qtWhole.c_str(), QtConversionAndScaling)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
    benchmark::RegisterBenchmark(ours.c_str(), Ours)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
    benchmark::Initialize(&argc, argv);
    pirela::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios({{ours + kRun, qtAlone + kRun}, {ours + kRun, qtWhole + kRun}}, 1.0);
    benchmark::Shutdown();
    return 0;
}
