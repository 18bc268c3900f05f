#pragma once

#include <optional>
#include <string>
#include <string_view>

// Reading and writing freedesktop.org launchers (".desktop" files). Launchers of other programs
// are untrusted input: the reader accepts any bytes and never fails worse than "none".
namespace pirela {

// The keys of the "[Desktop Entry]" group that the program needs, their escapes undone.
struct DesktopEntry {
    std::string type;
    std::string name;
    std::string exec;
    std::string japaneseName; // Name[ja]
    std::string categories;   // "Graphics;RasterGraphics;"
    bool hidden = false;      // Hidden=true: the launcher counts as deleted
};

// The first "[Desktop Entry]" group of the text; none when it has no such group. Later
// repetitions of a key, other groups and the other languages' keys are ignored.
std::optional<DesktopEntry> ParseDesktopEntry(std::string_view text);

// The program an Exec value starts: its first argument with the quoting undone; none when the
// value is empty or its quoting is broken.
std::optional<std::string> ExecProgram(std::string_view exec);

// A value written so that ParseDesktopEntry reads it back unchanged.
std::string EscapeDesktopValue(std::string_view value);

// The launcher that opens the image files Pirela reads with the program at programPath.
std::string ComposeLauncher(std::string_view name, std::string_view programPath);

// The launcher's text with the Name of its "[Desktop Entry]" group set to name; everything else
// stays as it was.
std::string WithLauncherName(std::string_view text, std::string_view name);

} // namespace pirela
