#pragma once

#include <filesystem>
#include <functional>

namespace pirela {

inline constexpr const char* kSettingsFileName = "pirela.ini";

// The folder of an installed copy's data (help page), relative to the program's folder.
inline constexpr const char* kInstalledDataFolder = "../share/pirela";

// Whether the program in this folder is an installed copy rather than a build or a portable one.
bool IsInstalledCopy(const std::filesystem::path& executableFolder);

// Where pirela.ini lives: beside the program when its folder is writable, so that a copy of
// Pirela on a stick carries its settings along; otherwise in the user's own configuration
// folder, so that an installed program still remembers its settings instead of losing every
// save in silence. An installed copy (its data in share/pirela beside its bin folder) always
// uses the configuration folder: run by root, /usr/bin is writable, but settings never belong
// there.
std::filesystem::path ChooseSettingsFile(
    const std::filesystem::path& executableFolder, const std::filesystem::path& userConfigFolder,
    const std::function<bool(const std::filesystem::path&)>& isWritableFolder);

// The settings file of this running program, chosen as above with the program's own folder and
// $XDG_CONFIG_HOME/pirela (~/.config/pirela without it). Needs no window system: the file is
// read before Qt starts.
std::filesystem::path DefaultSettingsFile();

} // namespace pirela
