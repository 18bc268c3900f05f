// Filling the batch rename dialog's list with 19,999 sorted names (target <= 20 ms, an absolute
// figure), and its ratio to the bare fill of a plain list widget with the same names already
// converted (addItems with sorting off), in the same run. Also shown: a click on a format box,
// which reads the folder, sorts and fills.
#include "RatioReport.h"

#include "app/CPirelaDoc.h"
#include "host/DocumentHost.h"
#include "host/Prompter.h"
#include "rename/BatchRenameFiles.h"
#include "res/ResourceIds.h"
#include "settings/AppSettings.h"
#include "ui/CBatchRenameDlg.h"
#include "ui/CDocumentHost.h"
#include "ui/CMessagePrompter.h"
#include "ui/DialogBuilder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QListWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace pirela;

namespace {

constexpr int kNames = 19999;
constexpr int kRounds = 9;
constexpr double kTargetMilliseconds = 20;

double MedianMilliseconds(const std::function<void()>& work) {
    using Clock = std::chrono::steady_clock;
    std::vector<double> times;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = Clock::now();
        work();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const fs::path folder =
        fs::temp_directory_path() / ("pirela-rename-dialog-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    QStringList rows;
    for (int i = 0; i < kNames; ++i) {
        const std::string name = "IMG_" + std::to_string(100000 + i) + ".jpg";
        std::ofstream(folder / name) << 'x';
        rows.push_back(QString::fromStdString(name));
    }
    AppSettings settings;
    CMessagePrompter prompter;
    CDocumentHost host(settings);
    CPirelaDoc doc(settings, prompter, host);
    doc.FileList().SetFolder(folder.string());
    CBatchRenameDlg dialog(doc, prompter, host);
    auto* jpeg = qobject_cast<QAbstractButton*>(FindControl(dialog, res::kBatchJpeg));
    const std::vector<std::string> names = ListBatchRenameFiles(folder, {});
    QListWidget bare;
    const auto fill = [&] { dialog.ShowFiles(names); };
    // Two clicks: the list empties, then fills again from the folder.
    const auto click = [&] {
        jpeg->click();
        jpeg->click();
    };
    const auto reference = [&] {
        bare.clear();
        bare.addItems(rows);
    };
    const double fillTime = MedianMilliseconds(fill);
    std::printf("dialog list of %d names: fill %.1f ms (target <= %.0f ms), "
                "format box clicked off and on %.1f ms\n",
                kNames, fillTime, kTargetMilliseconds, MedianMilliseconds(click));
    std::printf("  fill / bare addItems of the names = %6.3f\n",
                bench::PairedMedianRatio(fill, reference, kRounds));
    std::printf(fillTime <= kTargetMilliseconds ? "all targets met\n" : "some targets missed\n");
    fs::remove_all(folder);
    return 0;
}
