// The send as the user meets it, against what it cannot do without, in the same run (medians of
// paired rounds; the first, cold round is thrown away):
//   a move on one file system that shows the next image / decoding that next image alone
//     (the move is a rename, so the next image's load should be nearly all of it);
//   a copy of a 1 GiB file through the send, flushed to the disk / cp + sync;
//   a move out of a folder of 100,000 photos that shows the next one / the same out of a folder
//     of two (the list is not read again: the entry leaves it);
//   a copy into a folder of 100,000 files / into an empty folder (only the name is looked at).
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

constexpr int kRounds = 9;
constexpr double kMoveTarget = 1.30;
constexpr double kCopyTarget = 1.15;
constexpr double kBigFolderTarget = 1.20;
constexpr int kBigFolder = 100'000;

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
                                          const std::string&, const std::string&) override {
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
    void TellOutcome(const std::string&) override {}
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

// Count names in the folder, made in a moment as links to the photo (ext4 gives a file at most
// 65,000 names, so to a few copies of it).
void FillWithLinks(const fs::path& folder, const fs::path& photo, int count, const char* stem) {
    std::vector<fs::path> copies;
    for (int i = 0; i < count; ++i) {
        if (i % 50'000 == 0) {
            copies.push_back(folder / (std::string(stem) + "-copy" + std::to_string(i) + ".jpg"));
            fs::copy_file(photo, copies.back());
            continue;
        }
        fs::create_hard_link(copies.back(), folder / (stem + std::to_string(i) + ".jpg"));
    }
}

// A folder holding the photos and kBigFolder - 2 other names after them in the list; or only
// the photos.
fs::path MakePhotoFolder(const fs::path& root, const char* name, bool big) {
    const fs::path folder = root / name;
    fs::create_directories(folder);
    for (const char* photo : {"a.jpg", "b.jpg"}) {
        test::WriteJpeg(folder / photo, test::PhotoLike(640, 480, 3), false);
    }
    if (big) {
        FillWithLinks(folder, folder / "b.jpg", kBigFolder - 2, "z");
    }
    return folder;
}

bool MeasureBigFolders(const fs::path& root) {
    const fs::path big = MakePhotoFolder(root, "big", true);
    const fs::path small = MakePhotoFolder(root, "small", false);
    fs::create_directories(big / "sorted");
    fs::create_directories(small / "sorted");
    AppSettings bigSettings = SendingTo(big / "sorted", 0);
    AppSettings smallSettings = SendingTo(small / "sorted", 0);
    QuietHost host;
    // Journals of their own, which grow alike with every send.
    CPirelaDoc bigDoc(bigSettings, host, host, SystemCalls::Libc(), root / "state-big");
    CPirelaDoc smallDoc(smallSettings, host, host, SystemCalls::Libc(), root / "state-small");
    const auto open = [](CPirelaDoc& doc, const fs::path& folder) {
        doc.OpenImageFile((folder / "a.jpg").string());
        doc.AwaitListing();
    };
    open(bigDoc, big);
    open(smallDoc, small);
    const auto moveBack = [&] {
        for (const auto& [doc, folder] : {std::pair{&bigDoc, big}, std::pair{&smallDoc, small}}) {
            if (fs::exists(folder / "sorted" / "a.jpg")) {
                fs::rename(folder / "sorted" / "a.jpg", folder / "a.jpg");
                open(*doc, folder);
            }
        }
    };
    const auto move = [](CPirelaDoc& doc) {
        Require(doc.SendImageToFolder(0, {}));
        Require(doc.Image().Pixels() != nullptr);
    };
    bool met = Report("move out of 100,000 photos, next shown / out of 2",
                      Ratio([&] { move(bigDoc); }, [&] { move(smallDoc); }, moveBack),
                      kBigFolderTarget);

    // Copies of one photo into a full folder and into an empty one.
    const fs::path full = root / "full";
    const fs::path empty = root / "empty";
    fs::create_directories(full);
    fs::create_directories(empty);
    FillWithLinks(full, small / "b.jpg", kBigFolder, "IMG_");
    AppSettings toFull = SendingTo(full, 1);
    AppSettings toEmpty = SendingTo(empty, 1);
    CPirelaDoc intoFull(toFull, host, host, SystemCalls::Libc(), root / "state-full");
    CPirelaDoc intoEmpty(toEmpty, host, host, SystemCalls::Libc(), root / "state-empty");
    open(intoFull, small);
    open(intoEmpty, small);
    met = Report("copy into a folder of 100,000 files / into an empty one",
                 Ratio([&] { Require(intoFull.SendImageToFolder(0, {})); },
                       [&] { Require(intoEmpty.SendImageToFolder(0, {})); },
                       [&] {
                           fs::remove(full / "a.jpg");
                           fs::remove(empty / "a.jpg");
                       }),
                 kBigFolderTarget) &&
          met;
    return met;
}

} // namespace

int main() {
    const fs::path folder =
        fs::temp_directory_path() / ("pirela-send-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    std::printf("ratios, median of %d paired rounds:\n", kRounds);
    bool allMet = MeasureMove(folder);
    allMet = MeasureBigFolders(folder) && allMet;
    if (fs::space(folder).available < 3 * bench::kGiB) {
        std::printf("  copy skipped: less than 3 GiB free in %s\n", folder.c_str());
    } else {
        allMet = MeasureCopy(folder) && allMet;
    }
    fs::remove_all(folder);
    std::printf(allMet ? "all targets met\n" : "some targets missed\n");
    return 0;
}
