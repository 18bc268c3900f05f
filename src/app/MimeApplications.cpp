#include "app/MimeApplications.h"

#include "common/AsciiText.h"
#include "common/PathRules.h"
#include "platform/FileAccess.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <sstream>

namespace pirela {

namespace {

// Association lists and launchers are small; anything larger is not one.
constexpr std::size_t kMaxFileBytes = 4 * 1024 * 1024;

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// A colon-separated list of folders, the fallback when the variable is unset or empty.
std::vector<std::string> Folders(const char* variable, const std::string& fallback) {
    std::string value = Variable(variable);
    if (value.empty()) {
        value = fallback;
    }
    std::vector<std::string> folders;
    std::istringstream parts(value);
    for (std::string folder; std::getline(parts, folder, ':');) {
        if (!folder.empty()) {
            folders.push_back(folder);
        }
    }
    return folders;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

// The desktop file ids a group of an association file lists for the type, in order.
std::vector<std::string> Listed(std::string_view text, std::string_view group,
                                std::string_view mimeType) {
    std::vector<std::string> ids;
    bool inGroup = false;
    for (std::string_view line : LinesOf(text)) {
        line = Trimmed(line);
        if (!line.empty() && line.front() == '[') {
            inGroup = line == group;
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inGroup || equals == std::string_view::npos ||
            Trimmed(line.substr(0, equals)) != mimeType) {
            continue;
        }
        std::istringstream values{std::string(Trimmed(line.substr(equals + 1)))};
        for (std::string id; std::getline(values, id, ';');) {
            if (!id.empty()) {
                ids.push_back(id);
            }
        }
    }
    return ids;
}

bool HasCategory(const std::string& categories, std::string_view category) {
    std::istringstream list(categories);
    for (std::string each; std::getline(list, each, ';');) {
        if (each == category) {
            return true;
        }
    }
    return false;
}

std::optional<std::string> Read(const std::string& file) {
    return ReadWholeFile(file, kMaxFileBytes);
}

} // namespace

MimeApplications::MimeApplications(std::vector<std::string> configFolders,
                                   std::vector<std::string> dataFolders)
    : configFolders_(std::move(configFolders)), dataFolders_(std::move(dataFolders)) {}

MimeApplications MimeApplications::FromEnvironment() {
    const std::string home = Variable("HOME");
    std::vector<std::string> config = Folders("XDG_CONFIG_HOME", home + "/.config");
    for (std::string& folder : Folders("XDG_CONFIG_DIRS", "/etc/xdg")) {
        config.push_back(std::move(folder));
    }
    std::vector<std::string> data = Folders("XDG_DATA_HOME", home + "/.local/share");
    for (std::string& folder : Folders("XDG_DATA_DIRS", "/usr/local/share:/usr/share")) {
        data.push_back(std::move(folder));
    }
    return MimeApplications(std::move(config), std::move(data));
}

std::vector<std::string> MimeApplications::AssociationFiles() const {
    std::vector<std::string> files;
    for (const std::string& folder : configFolders_) {
        files.push_back(JoinPath(folder, "mimeapps.list"));
    }
    for (const std::string& folder : dataFolders_) {
        files.push_back(JoinPath(folder, "applications/mimeapps.list"));
    }
    return files;
}

std::vector<std::string> MimeApplications::ApplicationsFor(std::string_view mimeType) const {
    std::vector<std::string> defaults;
    std::vector<std::string> added;
    std::set<std::string> removed;
    for (const std::string& file : AssociationFiles()) {
        if (const auto text = Read(file)) {
            for (std::string& id : Listed(*text, "[Default Applications]", mimeType)) {
                defaults.push_back(std::move(id));
            }
            for (std::string& id : Listed(*text, "[Added Associations]", mimeType)) {
                added.push_back(std::move(id));
            }
            for (std::string& id : Listed(*text, "[Removed Associations]", mimeType)) {
                removed.insert(std::move(id));
            }
        }
    }
    std::vector<std::string> all = defaults;
    all.insert(all.end(), added.begin(), added.end());
    for (const std::string& folder : dataFolders_) {
        if (const auto cache = Read(JoinPath(folder, "applications/mimeinfo.cache"))) {
            for (std::string& id : Listed(*cache, "[MIME Cache]", mimeType)) {
                all.push_back(std::move(id));
            }
        }
    }
    std::vector<std::string> found;
    for (const std::string& id : all) {
        const bool known = std::find(found.begin(), found.end(), id) != found.end();
        if (!known && removed.count(id) == 0 && Launcher(id)) {
            found.push_back(id);
        }
    }
    return found;
}

std::optional<std::string> MimeApplications::LauncherFile(std::string_view desktopId) const {
    if (desktopId.empty() || desktopId.find('/') != std::string_view::npos) {
        return std::nullopt;
    }
    // "kde-foo.desktop" may also be "kde/foo.desktop".
    std::vector<std::string> names{std::string(desktopId)};
    if (const std::size_t dash = desktopId.find('-'); dash != std::string_view::npos) {
        names.push_back(std::string(desktopId.substr(0, dash)) + "/" +
                        std::string(desktopId.substr(dash + 1)));
    }
    for (const std::string& folder : dataFolders_) {
        for (const std::string& name : names) {
            const std::string file = JoinPath(JoinPath(folder, "applications"), name);
            if (::access(file.c_str(), R_OK) == 0) {
                return file;
            }
        }
    }
    return std::nullopt;
}

std::optional<DesktopEntry> MimeApplications::Launcher(std::string_view desktopId) const {
    const std::optional<std::string> file = LauncherFile(desktopId);
    const std::optional<std::string> text = file ? Read(*file) : std::nullopt;
    std::optional<DesktopEntry> entry = text ? ParseDesktopEntry(*text) : std::nullopt;
    if (!entry || entry->hidden) {
        return std::nullopt;
    }
    return entry;
}

std::optional<DesktopApplication> MimeApplications::ImageEditor() const {
    for (const std::string& id : ApplicationsFor("image/jpeg")) {
        const std::optional<DesktopEntry> entry = Launcher(id);
        if (!entry) {
            continue;
        }
        // Viewers (this program among them) claim raster images too; an editor does not say
        // it is one.
        if (!HasCategory(entry->categories, "RasterGraphics") ||
            HasCategory(entry->categories, "Viewer")) {
            continue;
        }
        const std::optional<std::string> program = SoleProgramOf(entry->exec);
        if (program && ProgramInstalled(*program)) {
            return DesktopApplication{
                entry->japaneseName.empty() ? entry->name : entry->japaneseName, *program};
        }
    }
    return std::nullopt;
}

bool ProgramInstalled(const std::string& program) {
    if (program.empty()) {
        return false;
    }
    if (program.find('/') != std::string::npos) {
        return ::access(program.c_str(), X_OK) == 0;
    }
    for (const std::string& folder : Folders("PATH", "/usr/local/bin:/usr/bin:/bin")) {
        if (::access(JoinPath(folder, program).c_str(), X_OK) == 0) {
            return true;
        }
    }
    return false;
}

std::optional<std::string> SoleProgramOf(std::string_view exec) {
    const std::optional<std::string> program = ExecProgram(exec);
    if (!program) {
        return std::nullopt;
    }
    // The words after the program's own (which may be quoted, with blanks inside).
    exec = Trimmed(exec);
    bool quoted = false;
    std::size_t end = 0;
    for (; end < exec.size() && (quoted || exec[end] != ' '); ++end) {
        if (exec[end] == '"' && (end == 0 || exec[end - 1] != '\\')) {
            quoted = !quoted;
        }
    }
    std::istringstream rest{std::string(exec.substr(end))};
    for (std::string word; rest >> word;) {
        if (word != "%f" && word != "%F" && word != "%u" && word != "%U") {
            return std::nullopt;
        }
    }
    return program;
}

} // namespace pirela
