#include "app/EarlyDecode.h"

#include "app/CommandLine.h"
#include "common/PathRules.h"
#include "image/ImageFormat.h"
#include "settings/SettingsStore.h"

#include <sys/stat.h>

namespace pirela {

namespace {

AppSettings LoadSettings(const std::filesystem::path& settingsFile) {
    // No screen is known before the window system: a screen too large to cut anything leaves
    // the saved window as it is, an upper bound of the view's client area.
    constexpr int kUnknownScreen = 1 << 20;
    SettingsEnvironment environment;
    environment.screenWidth = kUnknownScreen;
    environment.screenHeight = kUnknownScreen;
    return SettingsStore(settingsFile).Load(environment);
}

std::optional<ViewPlan> PlanFromSettings(const AppSettings& settings) {
    const WindowRect& window = settings.mainWindow;
    if (settings.mainWindowMaximized == 1 || window.Width() <= 0 || window.Height() <= 0) {
        return std::nullopt;
    }
    return ViewPlan{settings.options.rate, 0, {window.Width(), window.Height()}};
}

} // namespace

std::shared_ptr<DecodeJob> StartEarlyDecode(const std::vector<std::string>& arguments,
                                            const std::filesystem::path& settingsFile) {
    const std::string named = ParseCommandLine(arguments).pathToOpen;
    // Without a path, the photo shown at the last exit opens again.
    const AppSettings settings = LoadSettings(settingsFile);
    std::string path = settings.options.openLast != 0 ? settings.lastViewImage : std::string();
    if (!named.empty()) {
        path = AbsoluteCommandLinePath(named);
    }
    const std::string_view extension = ExtensionOf(FileNameOf(path));
    struct stat status {};
    if (path.empty() || !IsOpenableExtension(extension) || ::stat(path.c_str(), &status) != 0 ||
        !S_ISREG(status.st_mode)) {
        return nullptr;
    }
    return std::make_shared<DecodeJob>(path, FormatForExtension(extension), true,
                                       PlanFromSettings(settings), nullptr, nullptr,
                                       DecodeSettings{settings.options.applyOrientation != 0,
                                                      settings.options.colourProfile != 0});
}

} // namespace pirela
