// Feeds arbitrary bytes to the settings reader, then writes every setting back and checks that
// each one reads back exactly as written, whatever else the file held.
#include "settings/SettingsStore.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const pirela::SettingsEnvironment environment{1920, 1080, "/home/me/Documents", "/usr/bin", {}};
    pirela::IniFile ini = pirela::IniFile::Parse(text);
    pirela::AppSettings settings = pirela::SettingsFromIni(ini, environment);
    // Settings values may hold any bytes: line breaks are the one thing the writer refuses.
    const auto noLineBreaks = [](const std::string& value) {
        return value.find_first_of("\r\n") == std::string::npos;
    };
    pirela::WriteSettingsToIni(settings, ini);
    const pirela::IniFile reread = pirela::IniFile::Parse(ini.Serialize());
    const pirela::AppSettings again = pirela::SettingsFromIni(reread, environment);
    if (again.options.rate != settings.options.rate ||
        again.options.sendType != settings.options.sendType ||
        again.mainWindow != settings.mainWindow ||
        (noLineBreaks(settings.lastOpen) && again.lastOpen != settings.lastOpen) ||
        (noLineBreaks(settings.destinationFolders[0]) &&
         again.destinationFolders[0] != settings.destinationFolders[0])) {
        std::abort();
    }
    return 0;
}
