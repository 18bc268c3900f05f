#include "app/HelpFile.h"

#include "settings/SettingsLocation.h"

namespace pirela {

std::filesystem::path FindHelpFile(const std::filesystem::path& executableFolder) {
    const std::filesystem::path beside = executableFolder / kHelpFileName;
    const std::filesystem::path installed =
        (executableFolder / kInstalledDataFolder).lexically_normal() / kHelpFileName;
    std::error_code error;
    if (!std::filesystem::is_regular_file(beside, error) &&
        std::filesystem::is_regular_file(installed, error)) {
        return installed;
    }
    return beside;
}

} // namespace pirela
