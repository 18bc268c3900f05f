#include "settings/SettingsLocation.h"

#include "platform/FileAccess.h"

#include <cstdlib>

namespace pirela {

bool IsInstalledCopy(const std::filesystem::path& executableFolder) {
    std::error_code error;
    return std::filesystem::is_directory(executableFolder / kInstalledDataFolder, error);
}

std::filesystem::path ChooseSettingsFile(
    const std::filesystem::path& executableFolder, const std::filesystem::path& userConfigFolder,
    const std::function<bool(const std::filesystem::path&)>& isWritableFolder) {
    if (!IsInstalledCopy(executableFolder) && isWritableFolder(executableFolder)) {
        return executableFolder / kSettingsFileName;
    }
    return userConfigFolder / kSettingsFileName;
}

namespace {

std::filesystem::path UserConfigFolder() {
    const char* configured = std::getenv("XDG_CONFIG_HOME");
    if (configured != nullptr && configured[0] == '/') {
        return configured;
    }
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home != nullptr ? home : "") / ".config";
}

} // namespace

std::filesystem::path DefaultSettingsFile() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return ChooseSettingsFile(error ? std::filesystem::path() : program.parent_path(),
                              UserConfigFolder() / "pirela", [](const std::filesystem::path& f) {
                                  return !f.empty() && IsWritableFolder(f);
                              });
}

} // namespace pirela
