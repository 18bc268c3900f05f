#include "app/DesktopPrograms.h"

#include "app/MimeApplications.h"
#include "platform/ProgramSpawn.h"

#include <sys/stat.h>

#include <cstdlib>

namespace pirela {

namespace {

constexpr const char* kOpener = "xdg-open";

bool IsOfKind(const std::string& path, mode_t kind) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && (status.st_mode & S_IFMT) == kind;
}

} // namespace

bool DesktopPrograms::OpenFolder(const std::string& folder) {
    return IsOfKind(folder, S_IFDIR) && StartDetached(kOpener, {folder}) == 0;
}

bool DesktopPrograms::OpenFile(const std::string& file) {
    return IsOfKind(file, S_IFREG) && StartDetached(kOpener, {file}) == 0;
}

bool DesktopPrograms::HasOpenerFor(const std::string& mimeType) {
    if (!ProgramInstalled(kOpener)) {
        return false;
    }
    if (!MimeApplications::FromEnvironment().ApplicationsFor(mimeType).empty()) {
        return true;
    }
    const char* browser = std::getenv("BROWSER");
    return mimeType == "text/html" && ((browser != nullptr && *browser != '\0') ||
                                       ProgramInstalled("x-www-browser") ||
                                       ProgramInstalled("www-browser"));
}

bool DesktopPrograms::StartProgram(const std::string& command, const std::string& argument) {
    return !command.empty() && StartDetached(command, {argument}) == 0;
}

} // namespace pirela
