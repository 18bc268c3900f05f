#pragma once

#include <filesystem>
#include <functional>

namespace pirela {

inline constexpr const char* kSettingsFileName = "pirela.ini";

// Where pirela.ini lives: beside the program when its folder is writable, so that a copy of
// Pirela on a stick carries its settings along; otherwise in the user's own configuration
// folder, so that an installed program still remembers its settings instead of losing every
// save in silence.
std::filesystem::path ChooseSettingsFile(
    const std::filesystem::path& executableFolder, const std::filesystem::path& userConfigFolder,
    const std::function<bool(const std::filesystem::path&)>& isWritableFolder);

} // namespace pirela
