// The send as the user meets it, against what it cannot do without, in the same run (medians of
// paired rounds; the first, cold round is thrown away):
//   a move on one file system that shows the next image / decoding that next image alone
//     (the move is a rename, so the next image's load should be nearly all of it);
//   a copy of a 1 GiB file through the send, flushed to the disk / cp + sync.
// The paint that follows is the same as after the N key and is not part of either side.
#include "BenchFiles.h"
#include "RatioReport.h"
#include "app/CPirelaDoc.h"
#include "host/DocumentHost.h"
#include "host/Prompter.h"
#include "image/ImageDecoder.h"
#include "support/ImageFixtures.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace pirela;

namespace {

constexpr int kRounds = 5;
constexpr double kMoveTarget = 1.30;
constexpr double kCopyTarget = 1.15;

// A user who agrees to everything, and windows that need nothing.
class QuietHost : public Prompter, public DocumentHost {
public:
    MessageAnswer ShowCaptionedMessage(const std::string&, const std::string& text, MessageIcon,
                                       MessageButtons) override {
        std::fprintf(stderr, "unexpected message: %s\n", text.c_str());
        std::exit(1);
    }
    std::optional<std::string> AskFolder(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> AskNewName(const std::string&, const std::string&,
                                          const std::string&) override {
        return std::nullopt;
    }
    void BeginWaitCursor() override {}
    void PostDecodeEnded() override {}
    void PostRepaint() override {}
    void EndWaitCursor() override {}
    void ShowBusyText(const std::string&) override {}
    void HideBusyWindow() override {}
    void UpdateAllViews() override {}
    void UpdateScrollSizes() override {}
    void SetFixedScrollSizes(int, int) override {}
    void RefreshStatusTexts() override {}
    void RefreshTitle() override {}
    void ShowStatusMessage(const std::string&) override {}
    void RestoreStatusMessage() override {}
    void RunFileWork(const std::function<void()>& work, std::atomic<bool>&) override { work(); }
    void ShowProgress(const std::string&) override {}
    bool FileWorkRunning() const override { return false; }
    void RefreshSendBar() override {}
    void RebuildProgramMenu() override {}
    bool HasFileListWindow() const override { return false; }
    void FillFileListWindow(const ImageFileList&, int, const std::string&) override {}
    void ClearFileListWindow() override {}
    void SelectFileListRow(int) override {}
    void DeleteFileListRow(int) override {}
    void PostListingChanged() override {}
};

void Require(bool sent) {
    if (!sent) {
        std::fprintf(stderr, "the send failed\n");
        std::exit(1);
    }
}

double Ratio(const std::function<void()>& measured, const std::function<void()>& reference,
             const std::function<void()>& undo) {
    bench::PairedMedianRatio(measured, reference, 1, undo); // the cold round, not counted
    return bench::PairedMedianRatio(measured, reference, kRounds, undo);
}

bool Report(const char* what, double ratio, double target) {
    std::printf("  %-58s = %6.3f (target <= %.2f)\n", what, ratio, target);
    std::fflush(stdout);
    return ratio <= target;
}

// Destination 1 is the folder; no question before the send.
AppSettings SendingTo(const fs::path& folder, int sendType) {
    AppSettings settings;
    settings.options.sendType = sendType;
    settings.options.ask = 0;
    settings.destinationFolders[0] = folder.string();
    return settings;
}

bool MeasureMove(const fs::path& folder) {
    const fs::path source = folder / "photos";
    const fs::path sorted = folder / "sorted";
    fs::create_directories(source);
    fs::create_directories(sorted);
    for (const char* name : {"a.jpg", "b.jpg"}) {
        test::WriteJpeg(source / name, test::PhotoLike(4000, 3000, 3), false);
    }
    AppSettings settings = SendingTo(sorted, 0);
    QuietHost host;
    CPirelaDoc doc(settings, host, host, SystemCalls::Libc(), folder / "state");
    const std::string first = (source / "a.jpg").string();
    doc.OpenImageFile(first);
    return Report("move, next image shown / decode of the next image",
                  Ratio(
                      [&] {
                          Require(doc.SendImageToFolder(0, {}));
                          Require(doc.Image().Pixels() != nullptr); // decoded to the last row
                      },
                        [&] { DecodeImageFile((source / "b.jpg").string(), ImageFormat::Jpeg); },
                        [&] {
                            if (fs::exists(sorted / "a.jpg")) {
                                fs::rename(sorted / "a.jpg", first);
                                doc.OpenImageFile(first);
                            }
                        }),
                  kMoveTarget);
}

bool MeasureCopy(const fs::path& folder) {
    // Not an image: its load, outside the timing, fails quietly, and it is sent all the same.
    const fs::path big = folder / "big.bmp";
    const fs::path sorted = folder / "copies";
    const fs::path copy = sorted / "big.bmp";
    fs::create_directories(sorted);
    bench::WriteFileOfSize(big, bench::kGiB);
    bench::Shell("sync -f " + bench::Quoted(big));
    AppSettings settings = SendingTo(sorted, 1);
    QuietHost host;
    CPirelaDoc doc(settings, host, host, SystemCalls::Libc(), folder / "state");
    doc.OpenImageFile(big.string());
    return Report("copy 1 GiB through the send / cp + sync",
                  Ratio(
                      [&] { Require(doc.SendImageToFolder(0, {})); },
                        [&] {
                            bench::Shell("cp " + bench::Quoted(big) + " " + bench::Quoted(copy) +
                                         " && sync -f " + bench::Quoted(copy));
                        },
                        [&] { fs::remove(copy); }),
                  kCopyTarget);
}

} // namespace

int main() {
    const fs::path folder =
        fs::temp_directory_path() / ("pirela-send-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    std::printf("ratios, median of %d paired rounds:\n", kRounds);
    bool allMet = MeasureMove(folder);
    if (fs::space(folder).available < 3 * bench::kGiB) {
        std::printf("  copy skipped: less than 3 GiB free in %s\n", folder.c_str());
    } else {
        allMet = MeasureCopy(folder) && allMet;
    }
    fs::remove_all(folder);
    std::printf(allMet ? "all targets met\n" : "some targets missed\n");
    return 0;
}
