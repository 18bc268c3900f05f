// How fast the viewer shows a large photo, as ratios to decoding it alone in the same run:
//   next image -> end of the first paint, in fit mode and at 100 % (target <= 1.3);
//   filling the file list window with 100,000 names (target <= 0.5 s, an absolute figure: no
//   library does this for us to compare with);
//   process start -> end of the first paint of the photo given on the command line, the
//   subfolder question answered at once (target <= 1.7);
// and the peak resident memory while showing it, less that of an empty window, divided by the
// size of its 24-bit bitmap (target <= 2.5).
// Run: viewer_bench CORPUS_FOLDER (scripts/bench.sh makes the corpus).
#include "LaunchTiming.h"
#include "app/CPirelaDoc.h"
#include "image/JpegReader.h"
#include "res/ResourceIds.h"
#include "ui/CFileListWnd.h"
#include "ui/CMainFrame.h"
#include "ui/CPirelaApp.h"
#include "ui/CPirelaView.h"
#include "ui/JapaneseInterface.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace pirela;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRepeats = 7;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

long StatusKilobytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) {
            return std::stol(line.substr(std::string(field).size()));
        }
    }
    return 0;
}

// Child process: start as the program does with the photo (or nothing), paint once, report.
int RunChild(int argc, char** argv, const std::string& photo) {
    QApplication application(argc, argv);
    PrepareJapaneseInterface(application);
    const fs::path settings = fs::temp_directory_path() / ("pirela-bench-" + std::to_string(::getpid()) + ".ini");
    {
        CPirelaApp app(settings);
        if (!photo.empty()) {
            bench::AnswerQuestionsAtOnce();
        }
        app.InitInstance(photo.empty() ? std::vector<std::string>{} : std::vector<std::string>{photo});
        app.View()->viewport()->repaint();
        std::printf("%.1f %ld\n", bench::MillisecondsSinceProcessStart(), StatusKilobytes("VmHWM:"));
    }
    fs::remove(settings);
    return 0;
}

std::vector<double> RunChildren(const char* self, const std::string& photo, std::vector<double>& peaksKb) {
    std::vector<double> times;
    for (int i = 0; i < kRepeats; ++i) {
        QProcess child;
        QStringList arguments{QStringLiteral("--child"), QString::fromStdString(photo)};
        child.start(QString::fromLocal8Bit(self), arguments);
        child.waitForFinished(60000);
        double ms = 0;
        long kb = 0;
        std::sscanf(child.readAllStandardOutput().constData(), "%lf %ld", &ms, &kb);
        times.push_back(ms);
        peaksKb.push_back(static_cast<double>(kb));
    }
    return times;
}

double DecodeAlone(const fs::path& photo) {
    std::vector<double> times;
    for (int i = 0; i < kRepeats; ++i) {
        const auto start = Clock::now();
        auto bitmap = ReadJpegFile(photo);
        times.push_back(MillisecondsSince(start));
    }
    return Median(times);
}

double NextImageToPaint(CPirelaApp& app, float rate) {
    app.Settings().options.rate = rate;
    std::vector<double> times;
    for (int i = 0; i < kRepeats; ++i) {
        CMainFrame& frame = *app.MainFrame();
        frame.UpdateCommandUi();
        const int command = app.Document().FileList().Current() == 0 ? 32772 : 32773;
        const auto start = Clock::now();
        // Next (or, at the end, previous) image: load, refresh, then the first paint.
        const std::string path = command == 32772 ? app.Document().NextImage() : app.Document().PrevImage();
        app.Document().ShowListedImage(path);
        app.View()->viewport()->repaint();
        times.push_back(MillisecondsSince(start));
    }
    return Median(times);
}

double FillFileList(CPirelaApp& app) {
    ImageFileList names;
    for (int i = 0; i < 100000; ++i) {
        names.AddFileName("IMG_" + std::to_string(100000 + i) + ".JPG");
    }
    std::vector<double> times;
    for (int i = 0; i < kRepeats; ++i) {
        const auto start = Clock::now();
        app.FileListWindow()->Fill(names, 99999, "/home/someone/pics");
        app.FileListWindow()->repaint();
        times.push_back(MillisecondsSince(start));
    }
    return Median(times);
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::string(argv[1]) == "--child") {
        return RunChild(1, argv, argc >= 3 ? argv[2] : "");
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: viewer_bench CORPUS_FOLDER\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const fs::path corpus = argv[1];
    const fs::path folder = fs::temp_directory_path() / ("pirela-viewer-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    fs::copy_file(corpus / "photo.jpg", folder / "a.jpg", fs::copy_options::overwrite_existing);
    fs::copy_file(corpus / "photo.jpg", folder / "b.jpg", fs::copy_options::overwrite_existing);

    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    PrepareJapaneseInterface(application);
    const double decode = DecodeAlone(folder / "a.jpg");
    double fit = 0;
    double exact = 0;
    double fill = 0;
    {
        CPirelaApp app(folder / "pirela.ini");
        app.InitInstance({});
        app.MainFrame()->resize(1280, 800);
        app.View()->OpenFolder(folder.string());
        fit = NextImageToPaint(app, 0);
        exact = NextImageToPaint(app, 100);
        fill = FillFileList(app);
    }
    std::vector<double> emptyPeaks;
    std::vector<double> photoPeaks;
    RunChildren(argv[0], "", emptyPeaks);
    const double startup = Median(RunChildren(argv[0], (folder / "a.jpg").string(), photoPeaks));
    const double bitmapKb = 6000.0 * 4000.0 * 3 / 1024;
    const double memory = (Median(photoPeaks) - Median(emptyPeaks)) / bitmapKb;

    std::printf("decode 6000x4000 alone        %8.1f ms\n", decode);
    std::printf("next image to paint, fit      %8.1f ms  ratio %.2f (target <= 1.3)\n", fit, fit / decode);
    std::printf("next image to paint, 100 %%    %8.1f ms  ratio %.2f (target <= 1.3)\n", exact, exact / decode);
    std::printf("fill the file list, 100000 rows %7.1f ms  (target <= 500 ms)\n", fill);
    std::printf("process start to first paint  %8.1f ms  ratio %.2f (target <= 1.7)\n", startup, startup / decode);
    std::printf("peak memory less empty window %8.1f MB  ratio %.2f of the bitmap (target <= 2.5)\n",
                (Median(photoPeaks) - Median(emptyPeaks)) / 1024, memory);
    fs::remove_all(folder);
    return 0;
}
