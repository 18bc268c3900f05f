#include "app/SettingsLocation.h"

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

} // namespace pirela
