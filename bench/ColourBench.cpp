// What showing photos in their profiles' colours costs, as ratios of a photo tagged Adobe RGB to
// the same photo untagged, measured in the same run (the median of rounds with both back to
// back):
//   paging through 24-megapixel JPEGs fitted to a 1280 x 800 window: the decode, its preview,
//   the picture prepared at the draw size, and their colours (target <= 1.10);
//   the same at 100 %, where the rows in sight are converted as they are decoded (no target);
//   process start -> the first paint of the photo given on the command line, as the program
//   starts (the early decode, then Qt, the window and the settings), fitted and at 100 %
//   (target <= 1.05).
// Run: colour_bench CORPUS_FOLDER (scripts/bench.sh makes the corpus).
#include "LaunchTiming.h"
#include "RatioReport.h"
#include "app/CPirelaDoc.h"
#include "app/EarlyDecode.h"
#include "colour/DisplayProfile.h"
#include "load/DecodeJob.h"
#include "support/ColourFixtures.h"
#include "ui/CPirelaApp.h"
#include "ui/CPirelaView.h"
#include "ui/JapaneseInterface.h"
#include "ui/X11DisplayProfile.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <climits>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace pirela;

namespace {

constexpr ViewPlan kFit{0, 0, {1280, 800}};
constexpr ViewPlan kFullSize{100, 0, {1280, 800}};

// One page to the photo: everything its decode job does before the view can paint it whole;
// at 100 % the view asks for the rows in sight.
void Page(const fs::path& photo, const ViewPlan& plan) {
    const DecodeJob job(photo.string(), ImageFormat::Jpeg, true, plan);
    if (job.Progress().WaitForBitmap() != nullptr && plan.rate == 100) {
        job.WatchRows(plan.client.height, 0, plan.client.width);
    }
    if (job.WaitForBitmap() == nullptr) {
        std::fprintf(stderr, "%s could not be decoded\n", photo.c_str());
        std::exit(1);
    }
    while (plan.rate == 100 && job.ShownRows(0, plan.client.width) < plan.client.height) {
        std::this_thread::yield();
    }
}

// Child process: starts as main does with the photo on its command line, and prints the time
// from its start to the first paint with the photo: fitted, its preview or its prepared picture;
// at 100 %, the rows in sight.
int RunChild(int argc, char** argv, const std::string& photo, const std::string& rate) {
    SetDisplayProfileReader(ReadX11DisplayProfile);
    const fs::path settings =
        fs::temp_directory_path() / ("pirela-colour-bench-" + std::to_string(::getpid()) + ".ini");
    // A window the offscreen screen (800 x 600) holds as it is, so that the early decode's
    // plan is the view's.
    std::ofstream(settings) << "[WINDOW]\nLEFT=0\nTOP=0\nRIGHT=800\nBOTTOM=600\n[OPTIONS]\nRATE="
                            << rate << "\n";
    auto early = StartEarlyDecode({photo}, settings);
    QApplication application(argc, argv);
    PrepareJapaneseInterface(application);
    {
        CPirelaApp app(settings);
        bench::AnswerQuestionsAtOnce();
        app.InitInstance({photo}, std::move(early));
        const QSize inSight = rate == "100" ? app.View()->viewport()->size() : QSize(0, INT_MAX);
        const auto ready = [&app, inSight] {
            const DecodeJob* job = app.Document().Image().Decode();
            return job == nullptr || job->PreviewSoFar() != nullptr ||
                   job->ShownRows(0, inSight.width()) >= inSight.height();
        };
        while (!ready()) {
            QApplication::processEvents();
            QThread::usleep(200);
        }
        app.View()->viewport()->repaint();
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("%.1f %.1f\n", bench::MillisecondsSinceProcessStart(),
                    (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                        (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3);
    }
    fs::remove(settings);
    return 0;
}

// Milliseconds from the start of a child process to its first paint of the photo.
double Launch(const char* self, const fs::path& photo, const char* rate) {
    QProcess child;
    child.start(QString::fromLocal8Bit(self),
                {QStringLiteral("--child"), QString::fromStdString(photo), QString(rate)});
    child.waitForFinished(60000);
    double ms = 0;
    std::sscanf(child.readAllStandardOutput().constData(), "%lf", &ms);
    return ms;
}

// The median over rounds of the tagged launch's time over the untagged one's, back to back.
double LaunchRatio(const char* self, const fs::path& tagged, const fs::path& plain,
                   const char* rate) {
    std::vector<double> ratios;
    for (int round = 0; round < 9; ++round) {
        const double reference = Launch(self, plain, rate);
        ratios.push_back(Launch(self, tagged, rate) / reference);
    }
    std::sort(ratios.begin(), ratios.end());
    return ratios[ratios.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::string(argv[1]) == "--child") {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return RunChild(1, argv, argc >= 4 ? argv[2] : "", argc >= 4 ? argv[3] : "0");
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: colour_bench CORPUS_FOLDER\n");
        return 2;
    }
    const fs::path folder =
        fs::temp_directory_path() / ("pirela-colour-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const fs::path plain = folder / "plain.jpg";
    const fs::path tagged = folder / "tagged.jpg";
    fs::copy_file(fs::path(argv[1]) / "photo.jpg", plain);
    fs::copy_file(plain, tagged);
    test::EmbedIccInJpeg(tagged, test::AdobeRgbProfile());
    Page(tagged, kFit); // the transform is built once for the run, as in the program

    std::printf("tagged Adobe RGB ÷ untagged (median of 9 paired rounds):\n");
    const double fitted =
        bench::PairedMedianRatio([&] { Page(tagged, kFit); }, [&] { Page(plain, kFit); });
    std::printf("  %-44s %6.3f (target <= 1.10)\n", "key -> next picture, 24 MP, fitted", fitted);
    const double exact =
        bench::PairedMedianRatio([&] { Page(tagged, kFullSize); }, [&] { Page(plain, kFullSize); });
    std::printf("  %-44s %6.3f\n", "key -> next picture, 24 MP, 100 %", exact);
    const double launchFitted = LaunchRatio(argv[0], tagged, plain, "0");
    std::printf("  %-44s %6.3f (target <= 1.05)\n", "launch -> picture, 24 MP, fitted",
                launchFitted);
    const double launchExact = LaunchRatio(argv[0], tagged, plain, "100");
    std::printf("  %-44s %6.3f (target <= 1.05)\n", "launch -> picture, 24 MP, 100 %", launchExact);
    fs::remove_all(folder);
    return 0;
}
