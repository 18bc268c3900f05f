#pragma once

#include "settings/AppSettings.h"

#include <filesystem>
#include <string>
#include <vector>

namespace pirela {

// The primary screen's size and the user's folders, read afresh at each call. The documents
// folder is empty when the desktop has none or it does not exist.
SettingsEnvironment CurrentSettingsEnvironment();

// Whether Qt will find a display to open windows on. argv is the program's raw argument list,
// which may name a platform ("-platform offscreen").
bool DisplayAvailable(const std::vector<std::string>& arguments);

inline constexpr const char* kNoDisplayMessage =
    "Pirela needs a graphical display, and none was found (DISPLAY and WAYLAND_DISPLAY are "
    "empty): start it from a graphical desktop session, or inside a virtual display, for "
    "example 'xvfb-run -a pirela'.";

} // namespace pirela
