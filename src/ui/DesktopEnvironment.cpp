#include "ui/DesktopEnvironment.h"

#include "app/MimeApplications.h"
#include "platform/FileAccess.h"
#include "settings/SettingsLocation.h"
#include "ui/QtText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
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

// The desktop's documents folder, only when it exists: it becomes destination 1 and the open
// dialog's folder, and a folder offered by default must be there to receive files. A documents
// folder set to the home folder itself is the desktop's way of saying there is none.
std::string ExistingDocumentsFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QFileInfo folder(documents);
    if (documents.isEmpty() || !folder.isDir() ||
        folder.canonicalFilePath() == QFileInfo(QDir::homePath()).canonicalFilePath()) {
        return {};
    }
    return ToUtf8(documents);
}

} // namespace

SettingsEnvironment CurrentSettingsEnvironment() {
    SettingsEnvironment environment;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        environment.screenWidth = screen->geometry().width();
        environment.screenHeight = screen->geometry().height();
    }
    environment.documentsFolder = ExistingDocumentsFolder();
    environment.programFilesFolder = kProgramsFolder;
    environment.defaultProgram = []() -> std::optional<std::pair<std::string, std::string>> {
        if (const auto editor = MimeApplications::FromEnvironment().ImageEditor()) {
            return std::pair{editor->name, editor->program};
        }
        return std::nullopt;
    };
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
