#include "ui/DesktopEnvironment.h"

#include "platform/FileAccess.h"
#include "settings/SettingsLocation.h"
#include "ui/QtText.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>

#include <cstdlib>

namespace pirela {

namespace {

// Where external programs usually live; the program browser starts here.
constexpr const char* kProgramsFolder = "/usr/bin";

bool IsSet(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && *value != '\0';
}

} // namespace

SettingsEnvironment CurrentSettingsEnvironment() {
    SettingsEnvironment environment;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        environment.screenWidth = screen->geometry().width();
        environment.screenHeight = screen->geometry().height();
    }
    environment.documentsFolder =
        ToUtf8(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    environment.programFilesFolder = kProgramsFolder;
    return environment;
}

bool DisplayAvailable(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) {
        if (argument == "-platform" || argument == "--platform") {
            return true;
        }
    }
    return IsSet("QT_QPA_PLATFORM") || IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY");
}

} // namespace pirela
