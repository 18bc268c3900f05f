// Pirela against other viewers, side by side on one X display without a window manager: the
// time from a viewer's start to its first picture's pixels in the middle of its window, and from
// a key sent with XTest (after a pause of one second) to the next picture's pixels there.
// Rounds take the viewers in turn; the report gives medians and ratios to references measured
// in the same run, never absolute targets.
//
// Pirela's memory: its peak resident size (VmHWM) once it has shown every photo, first with a
// pause before each key and then with the key held down, less that of Pirela started with no
// file, in bitmaps of one photo.
//
// A phone's camera roll copied whole: 100,000 photos (links to the first three) in one folder,
// opened at one of its last photos, Pirela against feh and qimgv, each listing the folder: the
// time from start to the picture.
//
// usage: gui_bench PIRELA SCRATCH [ROUNDS [KEYS [heic]]]   (DISPLAY must name the display)
//
// The photos are written into SCRATCH/photos: 6000 x 4000 baseline JPEGs of the decoding
// benchmark's kind, sprinkled with flat squares of two colours of their own, so that any patch
// of the window's middle, at any scale from 100 % down to a fit, tells which photo it shows.
// With "heic", 4000 x 3000 HEIC photos of the same kind (a phone's 12 megapixels) instead.
#include "image/ImageDecoder.h"
#include "support/CameraFixtures.h"
#include "support/ImageFixtures.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// The photos' format and size: JPEG 6000 x 4000, or HEIC 4000 x 3000.
struct PhotoKind {
    bool heic = false;
    int width = 6000;
    int height = 4000;
    const char* extension = ".jpg";
} gKind;
constexpr int kMarkSize = 48;   // flat squares of this side...
constexpr int kMarkPeriod = 96; // ...every this many pixels, across and down
constexpr int kPatch = 200;     // side of the polled patch: at 100 % it holds both colours
constexpr auto kLaunchTimeout = std::chrono::seconds(15);
constexpr auto kKeyTimeout = std::chrono::seconds(8);
constexpr auto kPause = std::chrono::seconds(1);
constexpr auto kRepeat = std::chrono::milliseconds(40); // X's default: 25 repeats a second

struct Rgb {
    int r, g, b;
};

struct PhotoColours {
    Rgb first, second;
};

// One pair a photo, each far from the others, from white, black and grey backgrounds.
const PhotoColours kColours[] = {
    {{230, 40, 40}, {40, 200, 230}},  {{40, 210, 60}, {230, 60, 200}},
    {{50, 70, 230}, {240, 220, 40}},  {{250, 140, 20}, {120, 40, 200}},
    {{20, 120, 110}, {250, 170, 180}}, {{150, 90, 20}, {140, 240, 140}},
};
constexpr int kMaxPhotos = int(std::size(kColours));

// Windows come and go between a query and the next request; such errors are expected.
int IgnoreXError(Display*, XErrorEvent*) {
    return 0;
}

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// --- The photos ---

fs::path PhotoPath(const fs::path& folder, int index) {
    return folder / ("photo" + std::to_string(index + 1) + gKind.extension);
}

void PaintMarks(pirela::test::Samples& samples, const PhotoColours& colours) {
    for (int y = 0; y < samples.height; ++y) {
        if (y % kMarkPeriod >= kMarkSize) {
            continue;
        }
        std::uint8_t* row = samples.Row(y);
        for (int x = 0; x < samples.width; x += kMarkPeriod) {
            const bool first = (x / kMarkPeriod + y / kMarkPeriod) % 2 == 0;
            const Rgb c = first ? colours.first : colours.second;
            for (int i = x; i < std::min(x + kMarkSize, samples.width); ++i) {
                row[i * 3] = std::uint8_t(c.r);
                row[i * 3 + 1] = std::uint8_t(c.g);
                row[i * 3 + 2] = std::uint8_t(c.b);
            }
        }
    }
}

void WritePhotos(const fs::path& folder, int count) {
    fs::create_directories(folder);
    for (int i = 0; i < count; ++i) {
        const fs::path file = PhotoPath(folder, i);
        if (fs::exists(file)) {
            continue;
        }
        std::printf("writing %s\n", file.c_str());
        auto samples = pirela::test::PhotoLike(gKind.width, gKind.height, 3, unsigned(i + 1));
        PaintMarks(samples, kColours[i]);
        if (gKind.heic) {
            pirela::test::WriteHeif(file, samples);
        } else {
            pirela::test::WriteJpeg(file, samples, false);
        }
    }
}

// --- The screen ---

struct Rect {
    Window window = 0;
    int x = 0, y = 0, width = 0, height = 0;
};

// The viewable children of the root (top-level windows, as there is no window manager).
std::vector<Rect> ViewableTopLevels(Display* display, bool transientOnly) {
    std::vector<Rect> found;
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) == 0) {
        return found;
    }
    for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes a;
        if (XGetWindowAttributes(display, children[i], &a) == 0 || a.map_state != IsViewable ||
            a.c_class != InputOutput) {
            continue;
        }
        Window owner = 0;
        if (transientOnly && XGetTransientForHint(display, children[i], &owner) == 0) {
            continue;
        }
        found.push_back({children[i], a.x, a.y, a.width, a.height});
    }
    XFree(children);
    return found;
}

// The largest top-level window's part on the screen: the viewer's main window.
std::optional<Rect> MainWindow(Display* display) {
    const int screenWidth = DisplayWidth(display, DefaultScreen(display));
    const int screenHeight = DisplayHeight(display, DefaultScreen(display));
    std::optional<Rect> best;
    long bestArea = 0;
    for (Rect r : ViewableTopLevels(display, false)) {
        const int left = std::max(r.x, 0), top = std::max(r.y, 0);
        r.width = std::min(r.x + r.width, screenWidth) - left;
        r.height = std::min(r.y + r.height, screenHeight) - top;
        r.x = left;
        r.y = top;
        const long area = long(r.width) * r.height;
        if (r.width > 0 && r.height > 0 && area > bestArea) {
            best = r;
            bestArea = area;
        }
    }
    return best;
}

bool Near(unsigned long pixel, const XImage& image, Rgb c) {
    // Xvfb at depth 24 keeps 8 bits a channel at these masks.
    const int r = int((pixel & image.red_mask) >> 16);
    const int g = int((pixel & image.green_mask) >> 8);
    const int b = int(pixel & image.blue_mask);
    return std::abs(r - c.r) <= 24 && std::abs(g - c.g) <= 24 && std::abs(b - c.b) <= 24;
}

// Whether the patch in the window's middle shows both colours of the photo, each on at least
// 1 % of its pixels: a flat background, a toolbar or another photo never does.
bool ShowsPhoto(Display* display, const Rect& window, const PhotoColours& colours) {
    const int width = std::min(kPatch, window.width), height = std::min(kPatch, window.height);
    const int x = window.x + (window.width - width) / 2, y = window.y + (window.height - height) / 2;
    XImage* image = XGetImage(display, DefaultRootWindow(display), x, y, unsigned(width),
                              unsigned(height), AllPlanes, ZPixmap);
    if (image == nullptr) {
        return false;
    }
    int first = 0, second = 0;
    for (int j = 0; j < height; ++j) {
        for (int i = 0; i < width; ++i) {
            const unsigned long pixel = XGetPixel(image, i, j);
            first += Near(pixel, *image, colours.first) ? 1 : 0;
            second += Near(pixel, *image, colours.second) ? 1 : 0;
        }
    }
    XDestroyImage(image);
    const int needed = width * height / 100;
    return first >= needed && second >= needed;
}

void SendKey(Display* display, KeySym keysym) {
    const KeyCode code = XKeysymToKeycode(display, keysym);
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    XFlush(display);
}

// A key held down for `count` presses at the repeat rate, none waiting for a picture.
void HoldKey(Display* display, KeySym keysym, int count) {
    for (int i = 0; i < count; ++i) {
        SendKey(display, keysym);
        std::this_thread::sleep_for(kRepeat);
    }
}

// Gives the window the keyboard, with the pointer resting in its middle.
void Focus(Display* display, const Rect& window) {
    XTestFakeMotionEvent(display, DefaultScreen(display), window.x + window.width / 2,
                         window.y + window.height / 2, CurrentTime);
    XSetInputFocus(display, window.window, RevertToPointerRoot, CurrentTime);
    XSync(display, False);
}

// What polling the screen costs, so that the report can tell how finely it measures.
struct PollCost {
    double total = 0;
    long polls = 0;
} pollCost;

// When Pirela's start-up question was first answered, and how often it had to be.
struct Answers {
    std::optional<double> first;
    int count = 0;
};

// Polls until the photo shows; answers Pirela's start-up question ("n": not the subfolders)
// as soon as it is viewable, and again if it is still there 300 ms later. The time from
// start, or nothing after the timeout.
std::optional<double> WaitForPhoto(Display* display, Clock::time_point start,
                                   Clock::duration timeout, const PhotoColours& colours,
                                   Answers* answers) {
    Clock::time_point lastAnswer{};
    while (Clock::now() - start < timeout) {
        if (answers != nullptr && Clock::now() - lastAnswer > std::chrono::milliseconds(300)) {
            const auto boxes = ViewableTopLevels(display, true);
            if (!boxes.empty()) {
                Focus(display, boxes.front());
                SendKey(display, XK_n);
                lastAnswer = Clock::now();
                answers->first = answers->first.value_or(Milliseconds(lastAnswer - start));
                ++answers->count;
            }
        }
        const auto pollStart = Clock::now();
        const auto window = MainWindow(display);
        const bool shown = window && ShowsPhoto(display, *window, colours);
        const auto now = Clock::now();
        pollCost.total += Milliseconds(now - pollStart);
        ++pollCost.polls;
        if (shown) {
            return Milliseconds(now - start);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    return std::nullopt;
}

// --- The viewers ---

struct Viewer {
    std::string name;
    std::vector<std::string> command; // "{}" stands for the first photo, "{all}" for every one
    KeySym next;
    std::optional<int> pirelaRate; // set for Pirela: the RATE its settings file gets
};

struct Scratch {
    fs::path root, photos, pirela, home;
    int photoCount = 0;
};

void WritePirelaSettings(const Scratch& scratch, int rate) {
    std::ofstream ini(scratch.pirela / "pirela.ini", std::ios::trunc);
    ini << "[WINDOW]\nLEFT=0\nTOP=0\nRIGHT=1000\nBOTTOM=700\nMAX=0\n"
        << "[FILELISTWINDOW]\nVIEW=0\n[OPTIONS]\nRATE=" << rate << "\n";
}

std::vector<std::string> Arguments(const Viewer& viewer, const Scratch& scratch) {
    std::vector<std::string> args;
    for (const std::string& arg : viewer.command) {
        if (arg == "{}") {
            args.push_back(PhotoPath(scratch.photos, 0).string());
        } else if (arg == "{all}") {
            for (int i = 0; i < scratch.photoCount; ++i) {
                args.push_back(PhotoPath(scratch.photos, i).string());
            }
        } else {
            args.push_back(arg);
        }
    }
    return args;
}

pid_t Start(const std::vector<std::string>& args, const Scratch& scratch) {
    const pid_t pid = fork();
    if (pid != 0) {
        return pid;
    }
    // Each viewer finds a fresh home, so no saved state of an earlier run steers it.
    setenv("HOME", scratch.home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (scratch.home / ".config").c_str(), 1);
    setenv("XDG_CACHE_HOME", (scratch.home / ".cache").c_str(), 1);
    const int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, STDOUT_FILENO);
    dup2(quiet, STDERR_FILENO);
    std::vector<char*> argv;
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
}

void Stop(Display* display, pid_t pid) {
    kill(pid, SIGTERM);
    const auto start = Clock::now();
    while (waitpid(pid, nullptr, WNOHANG) == 0) {
        if (Clock::now() - start > std::chrono::seconds(2)) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    // The next viewer starts on an empty screen.
    while (!ViewableTopLevels(display, false).empty() &&
           Clock::now() - start < std::chrono::seconds(4)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

// The most a process has held in memory so far (VmHWM), in bytes; 0 if it cannot be read.
double PeakResident(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::atof(line.c_str() + 6) * 1024; // given in kB
        }
    }
    return 0;
}

struct Times {
    std::vector<double> launch, next, question; // question: start -> Pirela's question answered
    int extraAnswers = 0;                        // answers sent again to a question still there
    std::vector<double> peak; // Pirela: peak resident bytes after every photo has been shown
};

// One launch of one viewer: its first photo, then `keys` times the next one after a pause.
void RunOnce(Display* display, const Viewer& viewer, const Scratch& scratch, int keys,
             Times& times) {
    if (viewer.pirelaRate) {
        WritePirelaSettings(scratch, *viewer.pirelaRate);
    }
    fs::remove_all(scratch.home);
    fs::create_directories(scratch.home);
    const auto args = Arguments(viewer, scratch);
    const auto start = Clock::now();
    const pid_t pid = Start(args, scratch);
    Answers answers;
    const auto launch = WaitForPhoto(display, start, kLaunchTimeout, kColours[0],
                                     viewer.pirelaRate ? &answers : nullptr);
    if (answers.first) {
        times.question.push_back(*answers.first);
        times.extraAnswers += answers.count - 1;
    }
    if (!launch) {
        std::printf("  %s: no picture within %lld s\n", viewer.name.c_str(),
                    static_cast<long long>(kLaunchTimeout.count()));
        Stop(display, pid);
        return;
    }
    times.launch.push_back(*launch);
    int shown = 1;
    for (int k = 1; k <= keys && k < scratch.photoCount; ++k) {
        std::this_thread::sleep_for(kPause);
        const auto window = MainWindow(display);
        if (!window) {
            break;
        }
        Focus(display, *window);
        const auto pressed = Clock::now();
        SendKey(display, viewer.next);
        const auto next = WaitForPhoto(display, pressed, kKeyTimeout, kColours[k], nullptr);
        if (!next) {
            std::printf("  %s: photo %d did not follow the key\n", viewer.name.c_str(), k + 1);
            break;
        }
        times.next.push_back(*next);
        ++shown;
    }
    if (viewer.pirelaRate && shown == scratch.photoCount) {
        // Then the key held down back to the first photo, and again on to the last.
        const int last = scratch.photoCount - 1;
        HoldKey(display, XK_b, last);
        const bool back = WaitForPhoto(display, Clock::now(), kKeyTimeout, kColours[0], nullptr)
                              .has_value();
        HoldKey(display, viewer.next, last);
        if (back && WaitForPhoto(display, Clock::now(), kKeyTimeout, kColours[last], nullptr)) {
            times.peak.push_back(PeakResident(pid));
        }
    }
    Stop(display, pid);
}

// Pirela started with no file: its peak resident bytes a pause after its window shows.
double EmptyPeak(Display* display, const fs::path& pirela, const Scratch& scratch) {
    WritePirelaSettings(scratch, 100);
    fs::remove_all(scratch.home);
    fs::create_directories(scratch.home);
    const auto start = Clock::now();
    const pid_t pid = Start({pirela.string()}, scratch);
    while (!MainWindow(display) && Clock::now() - start < kLaunchTimeout) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    double peak = 0;
    if (MainWindow(display)) {
        std::this_thread::sleep_for(kPause);
        peak = PeakResident(pid);
    }
    Stop(display, pid);
    return peak;
}

double DecodeOnce(const fs::path& file) {
    const auto start = Clock::now();
    const auto bitmap = pirela::DecodeImageFile(
        file, gKind.heic ? pirela::ImageFormat::Heif : pirela::ImageFormat::Jpeg);
    const double ms = Milliseconds(Clock::now() - start);
    return bitmap ? ms : -1;
}

bool Installed(const std::string& program) {
    const std::string probe = "command -v " + program + " >/dev/null 2>&1";
    return std::system(probe.c_str()) == 0;
}

double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void PrintRatio(const std::string& what, double measured, double reference, double target) {
    if (measured <= 0 || reference <= 0) {
        std::printf("  %-52s   (not measured)\n", what.c_str());
        return;
    }
    std::printf("  %-52s = %5.2f  (target <= %.2f)\n", what.c_str(), measured / reference, target);
}

// --- A camera roll of 100,000 photos ---

constexpr int kRollPhotos = 100'000;

fs::path RollPhoto(const fs::path& roll, int number) {
    char name[32];
    std::snprintf(name, sizeof name, "IMG_%06d", number);
    return roll / (name + std::string(gKind.extension));
}

// Links to the first three photos in turn (ext4 allows 65,000 names to a file); the photo
// numbered n shows photo n % 3, so that 99,999 shows the first photo's colours.
fs::path WriteRoll(const Scratch& scratch) {
    const fs::path roll = scratch.root / "roll";
    if (fs::exists(RollPhoto(roll, kRollPhotos))) {
        return roll;
    }
    fs::create_directories(roll);
    std::printf("linking %d photos into %s\n", kRollPhotos, roll.c_str());
    for (int n = 1; n <= kRollPhotos; ++n) {
        std::error_code error;
        fs::create_hard_link(PhotoPath(scratch.photos, n % 3), RollPhoto(roll, n), error);
    }
    return roll;
}

// From start to the first photo's picture, or nothing.
std::optional<double> LaunchToPicture(Display* display, const std::vector<std::string>& args,
                                      const Scratch& scratch, bool pirela) {
    if (pirela) {
        WritePirelaSettings(scratch, 100);
    }
    fs::remove_all(scratch.home);
    fs::create_directories(scratch.home);
    const auto start = Clock::now();
    const pid_t pid = Start(args, scratch);
    Answers answers;
    const auto shown =
        WaitForPhoto(display, start, kLaunchTimeout, kColours[0], pirela ? &answers : nullptr);
    Stop(display, pid);
    return shown;
}

void MeasureRoll(Display* display, const fs::path& pirela, const Scratch& scratch, int rounds) {
    if (scratch.photoCount < 3) {
        std::printf("\nthe camera roll needs three photos (KEYS of 2 or more); left out\n");
        return;
    }
    const fs::path roll = WriteRoll(scratch);
    const std::string opened = RollPhoto(roll, kRollPhotos - 1).string();
    const std::string fit = "1000x700+0+0";
    struct RollViewer {
        std::string name;
        std::vector<std::string> args;
        bool pirela;
    };
    std::vector<RollViewer> viewers = {{"Pirela 100 %", {pirela.string(), opened}, true}};
    if (Installed("feh")) {
        viewers.push_back({"feh 100 %", {"feh", "-g", fit, "--start-at", opened, roll.string()}, false});
    }
    if (Installed("qimgv")) {
        viewers.push_back({"qimgv (fit)", {"qimgv", opened}, false});
    }
    std::map<std::string, std::vector<double>> times;
    for (int round = 0; round < rounds; ++round) {
        std::printf("camera roll, round %d of %d\n", round + 1, rounds);
        std::fflush(stdout);
        for (std::size_t i = 0; i < viewers.size(); ++i) {
            const RollViewer& viewer = viewers[(i + std::size_t(round)) % viewers.size()];
            if (const auto ms = LaunchToPicture(display, viewer.args, scratch, viewer.pirela)) {
                times[viewer.name].push_back(*ms);
            } else {
                std::printf("  %s: no picture within %lld s\n", viewer.name.c_str(),
                            static_cast<long long>(kLaunchTimeout.count()));
            }
        }
    }
    std::printf("\ncamera roll of %d photos, opened at photo %d (ms, medians)\n", kRollPhotos,
                kRollPhotos - 1);
    for (const RollViewer& viewer : viewers) {
        std::printf("  %-36s %8.0f (n=%zu)\n", viewer.name.c_str(), Median(times[viewer.name]),
                    times[viewer.name].size());
    }
    const double ours = Median(times["Pirela 100 %"]);
    PrintRatio("camera roll launch: Pirela / feh 100 %", ours, Median(times["feh 100 %"]), 0.5);
    PrintRatio("camera roll launch: Pirela / qimgv (fit)", ours, Median(times["qimgv (fit)"]), 0.5);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: gui_bench PIRELA SCRATCH [ROUNDS [KEYS [heic]]]\n");
        return 2;
    }
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
    const int keys = argc > 4 ? std::clamp(std::atoi(argv[4]), 0, kMaxPhotos - 1) : 2;
    if (argc > 5 && std::string(argv[5]) == "heic") {
        gKind = PhotoKind{true, 4000, 3000, ".heic"};
    }
    Scratch scratch{fs::absolute(argv[2]), {}, {}, {}, keys + 1};
    scratch.photos = scratch.root / "photos";
    scratch.pirela = scratch.root / "pirela";
    scratch.home = scratch.root / "home";
    WritePhotos(scratch.photos, scratch.photoCount);
    // A copy of the program, so that its pirela.ini is the one written here.
    fs::create_directories(scratch.pirela);
    const fs::path pirela = scratch.pirela / "pirela";
    fs::copy_file(argv[1], pirela, fs::copy_options::overwrite_existing);

    Display* display = XOpenDisplay(nullptr);
    int event = 0, error = 0, major = 0, minor = 0;
    if (display == nullptr || !XTestQueryExtension(display, &event, &error, &major, &minor)) {
        std::fprintf(stderr, "gui_bench: needs an X display with the XTest extension\n");
        return 2;
    }

    XSetErrorHandler(IgnoreXError);

    const std::string fit = "1000x700+0+0";
    const std::vector<Viewer> all = {
        {"Pirela 100 %", {pirela.string(), "{}"}, XK_n, 100},
        {"Pirela shrink (RATE -1)", {pirela.string(), "{}"}, XK_n, -1},
        {"Pirela fit (RATE 0)", {pirela.string(), "{}"}, XK_n, 0},
        {"feh 100 %", {"feh", "-g", fit, "{all}"}, XK_space, std::nullopt},
        {"feh --scale-down", {"feh", "-g", fit, "--scale-down", "{all}"}, XK_space, std::nullopt},
        {"nsxiv (fit)", {"nsxiv", "-g", fit, "{all}"}, XK_n, std::nullopt},
        {"qimgv (fit)", {"qimgv", "{}"}, XK_Right, std::nullopt},
    };
    std::vector<Viewer> viewers;
    for (const Viewer& viewer : all) {
        if (viewer.pirelaRate || Installed(viewer.command.front())) {
            viewers.push_back(viewer);
        } else {
            std::printf("skipping %s: %s is not installed\n", viewer.name.c_str(),
                        viewer.command.front().c_str());
        }
    }

    // Rounds take the viewers in turn, each round starting one further along, so that a slow
    // spell of the machine falls on all of them alike.
    std::map<std::string, Times> times;
    std::vector<double> decodes, emptyPeaks;
    for (int round = 0; round < rounds; ++round) {
        std::printf("round %d of %d\n", round + 1, rounds);
        std::fflush(stdout);
        for (std::size_t i = 0; i < viewers.size(); ++i) {
            const Viewer& viewer = viewers[(i + std::size_t(round)) % viewers.size()];
            RunOnce(display, viewer, scratch, keys, times[viewer.name]);
        }
        decodes.push_back(DecodeOnce(PhotoPath(scratch.photos, 1)));
        emptyPeaks.push_back(EmptyPeak(display, pirela, scratch));
    }
    MeasureRoll(display, pirela, scratch, rounds);
    XCloseDisplay(display);

    std::printf("\nmedians (ms)                          launch -> picture   key -> next picture\n");
    std::map<std::string, std::pair<double, double>> median;
    for (const Viewer& viewer : viewers) {
        const Times& t = times[viewer.name];
        median[viewer.name] = {Median(t.launch), Median(t.next)};
        std::printf("  %-36s %8.0f (n=%zu) %12.0f (n=%zu)\n", viewer.name.c_str(),
                    Median(t.launch), t.launch.size(), Median(t.next), t.next.size());
    }
    for (const Viewer& viewer : viewers) {
        const Times& t = times[viewer.name];
        if (!t.question.empty()) {
            std::printf("  %-36s question answered at %.0f ms (median), %d answer(s) repeated\n",
                        viewer.name.c_str(), Median(t.question), t.extraAnswers);
        }
    }
    const double decode = Median(decodes);
    std::printf("  %-36s %8s %18.0f (n=%zu)\n", "decode alone (DecodeImageFile)", "", decode,
                decodes.size());

    // The fastest fitting peer is the reference for Pirela's fitting and shrinking modes.
    std::string fastest;
    for (const char* peer : {"feh --scale-down", "nsxiv (fit)", "qimgv (fit)"}) {
        const double launch = median[peer].first;
        if (launch > 0 && (fastest.empty() || launch < median[fastest].first)) {
            fastest = peer;
        }
    }
    auto launchOf = [&](const std::string& name) { return median[name].first; };
    auto nextOf = [&](const std::string& name) { return median[name].second; };
    std::printf("  one poll of the screen took %.2f ms on average\n",
                pollCost.total / double(std::max(1L, pollCost.polls)));

    // Memory: the highest peak of all launches, against one 24-bit bitmap of a photo.
    const auto highest = [](const std::vector<double>& v) {
        return v.empty() ? 0.0 : *std::max_element(v.begin(), v.end());
    };
    const double bitmap = double((gKind.width * 3 + 3) / 4 * 4) * gKind.height;
    const double empty = highest(emptyPeaks);
    constexpr double kMiB = 1 << 20;
    std::printf("\npeak resident memory (MiB, highest)   one bitmap %.1f\n", bitmap / kMiB);
    std::printf("  %-36s %8.1f (n=%zu)\n", "Pirela, no file", empty / kMiB, emptyPeaks.size());
    for (const Viewer& viewer : viewers) {
        const Times& t = times[viewer.name];
        if (!t.peak.empty()) {
            std::printf("  %-36s %8.1f (n=%zu)\n", viewer.name.c_str(), highest(t.peak) / kMiB,
                        t.peak.size());
        }
    }
    auto memoryOf = [&](const std::string& name) {
        const double peak = highest(times[name].peak);
        return peak > 0 && empty > 0 ? peak - empty : 0;
    };

    std::printf("\nratios (measured in this run)\n");
    PrintRatio("launch: Pirela 100 % / feh 100 %", launchOf("Pirela 100 %"), launchOf("feh 100 %"),
               0.9);
    for (const char* mode : {"Pirela shrink (RATE -1)", "Pirela fit (RATE 0)"}) {
        PrintRatio(std::string("launch: ") + mode + " / " + fastest, launchOf(mode),
                   fastest.empty() ? 0 : launchOf(fastest), 0.7);
    }
    PrintRatio("next: Pirela 100 % / feh 100 %", nextOf("Pirela 100 %"), nextOf("feh 100 %"), 1.0);
    for (const char* mode : {"Pirela 100 %", "Pirela shrink (RATE -1)", "Pirela fit (RATE 0)"}) {
        PrintRatio(std::string("next: ") + mode + " / qimgv (fit)", nextOf(mode),
                   nextOf("qimgv (fit)"), 1.0);
        PrintRatio(std::string("next: ") + mode + " / decode alone", nextOf(mode), decode, 0.15);
    }
    for (const char* mode : {"Pirela 100 %", "Pirela fit (RATE 0)"}) {
        PrintRatio(std::string("memory: ") + mode + " - no file / one bitmap", memoryOf(mode),
                   bitmap, 3.5);
    }
    return 0;
}
