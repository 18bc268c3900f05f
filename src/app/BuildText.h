#pragma once

#include <ctime>
#include <string>

namespace pirela {

// The about box's build line: "Build : " and the program file's modification time as a long
// Japanese date and time in local time, for instance "Build : 2026年12月7日 20:27:42".
std::string FormatBuildText(std::time_t modificationTime);

} // namespace pirela
