#include "app/Launcher.h"

#include "common/PathRules.h"
#include "platform/DesktopEntry.h"
#include "platform/DirectoryReader.h"
#include "platform/FileAccess.h"
#include "platform/SystemCalls.h"
#include "res/ProgramTexts.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace pirela {

namespace {

constexpr std::string_view kSuffix = ".desktop";
// Launchers are a few hundred bytes; anything larger is not one we could have written.
constexpr std::size_t kMaxLauncherBytes = 64 * 1024;
constexpr mode_t kLauncherMode = 0644;

// The path with its links and dots resolved, as far as it exists.
std::string Canonical(const std::string& path) {
    std::error_code error;
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(path, error);
    return error ? path : resolved.string();
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// A new file with the bytes; fails without touching anything when the name exists.
bool CreateExclusively(const std::string& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                          kLauncherMode);
    if (fd < 0) {
        return false;
    }
    const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        ::unlink(path.c_str());
        return false;
    }
    return true;
}

std::vector<std::string> LauncherNames(const std::string& folder) {
    std::vector<std::string> names;
    ForEachDirectoryEntry(folder, [&names](std::string_view name, EntryKind kind) {
        if (kind == EntryKind::RegularFile && name.size() > kSuffix.size() &&
            name.ends_with(kSuffix)) {
            names.emplace_back(name);
        }
    });
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

Launcher::Launcher(LauncherPlaces places) : places_(std::move(places)) {
    places_.programPath = Canonical(places_.programPath);
}

std::optional<std::string> Launcher::FindOwn() const {
    for (const std::string& name : LauncherNames(places_.applicationsFolder)) {
        std::string path = JoinPath(places_.applicationsFolder, name);
        if (IsOwn(path)) {
            return path;
        }
    }
    return std::nullopt;
}

bool Launcher::IsOwn(const std::string& launcher) const {
    const std::optional<std::string> text = ReadWholeFile(launcher, kMaxLauncherBytes);
    const std::optional<DesktopEntry> entry = text ? ParseDesktopEntry(*text) : std::nullopt;
    const std::optional<std::string> program = entry ? ExecProgram(entry->exec) : std::nullopt;
    // Exact: a case-folded match could take another program's launcher for ours.
    return program && program->front() == kPathSeparator &&
           Canonical(*program) == places_.programPath;
}

std::optional<std::string> Launcher::PathFor(std::string_view name) const {
    if (name.empty() || name.find(kPathSeparator) != std::string_view::npos) {
        return std::nullopt;
    }
    return JoinPath(places_.applicationsFolder, std::string(name) + std::string(kSuffix));
}

std::optional<std::string> Launcher::Create(std::string_view name, std::string_view iconSvg) const {
    const std::optional<std::string> path = PathFor(name);
    if (!path) {
        return std::nullopt;
    }
    std::error_code ignored;
    std::filesystem::create_directories(places_.applicationsFolder, ignored);
    if (!CreateExclusively(*path, ComposeLauncher(name, places_.programPath))) {
        return std::nullopt;
    }
    InstallIcon(iconSvg);
    return path;
}

void Launcher::InstallIcon(std::string_view iconSvg) const {
    // Without its icon the launcher still works, with the desktop's default picture.
    std::error_code ignored;
    std::filesystem::create_directories(places_.iconFolder, ignored);
    WriteFileAtomically(JoinPath(places_.iconFolder, "pirela.svg"), iconSvg);
}

std::optional<std::string> Launcher::Rename(const std::string& launcher,
                                            std::string_view name) const {
    const std::optional<std::string> path = PathFor(name);
    if (!path || !IsOwn(launcher) ||
        SystemCalls::Libc().renameNoReplace(launcher.c_str(), path->c_str()) != 0) {
        return std::nullopt;
    }
    // File managers show the Name inside, not the file name.
    if (const auto text = ReadWholeFile(*path, kMaxLauncherBytes)) {
        WriteFileAtomically(*path, WithLauncherName(*text, name));
    }
    return path;
}

bool Launcher::Remove(const std::string& launcher) const {
    return IsOwn(launcher) && ::unlink(launcher.c_str()) == 0;
}

bool Launcher::Apply(std::optional<std::string>& existing, bool wanted,
                     std::string_view typedName, bool nameChanged, std::string_view iconSvg) const {
    const std::string_view name = typedName.empty() ? res::kDefaultLauncherName : typedName;
    if (existing && !wanted) {
        // A launcher that could not be removed is still there, and the options must say so.
        if (Remove(*existing)) {
            existing.reset();
        }
    } else if (!existing && wanted) {
        existing = Create(name, iconSvg);
        return existing.has_value();
    } else if (existing && nameChanged) {
        // A name that is taken or unusable keeps the launcher as it was.
        if (auto renamed = Rename(*existing, name)) {
            existing = std::move(renamed);
        }
    }
    return true;
}

std::string Launcher::DisplayName(std::string_view launcherPath) {
    std::string name(FileNameOf(launcherPath));
    for (std::size_t at; (at = name.find(kSuffix)) != std::string::npos;) {
        name.erase(at, kSuffix.size());
    }
    return name;
}

} // namespace pirela
