#pragma once

#include <filesystem>

namespace pirela {

inline constexpr const char* kHelpFileName = "pirela.html";

// The help page: beside the program (a build folder, a portable copy), else in the installed
// data folder. When neither exists, the path beside the program, for the message that says so.
std::filesystem::path FindHelpFile(const std::filesystem::path& executableFolder);

} // namespace pirela
