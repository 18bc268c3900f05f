#include "app/SettingsLocation.h"

namespace pirela {

std::filesystem::path ChooseSettingsFile(
    const std::filesystem::path& executableFolder, const std::filesystem::path& userConfigFolder,
    const std::function<bool(const std::filesystem::path&)>& isWritableFolder) {
    if (isWritableFolder(executableFolder)) {
        return executableFolder / kSettingsFileName;
    }
    return userConfigFolder / kSettingsFileName;
}

} // namespace pirela
