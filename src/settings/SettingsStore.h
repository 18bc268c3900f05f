#pragma once

#include "settings/AppSettings.h"
#include "settings/IniFile.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace pirela {

// Fills settings from a parsed settings file: absent keys take their defaults, then the window
// rectangles are clamped to the screen.
AppSettings SettingsFromIni(const IniFile& ini, const SettingsEnvironment& environment);

// Writes every setting into the file's lines; other sections and keys stay as they are.
void WriteSettingsToIni(const AppSettings& settings, IniFile& ini);

// Keeps a saved window reachable after the screen became smaller: a main window left or top
// edge off the screen (a window closed while minimised is at -32000) moves to 0, and a right or
// bottom edge beyond the screen is cut. The file list window's left and top edges are only held
// at 0 or more.
void ClampWindowRects(AppSettings& settings, int screenWidth, int screenHeight);

// The settings file on disk. Loading never fails: a missing, unreadable or garbled file gives
// the defaults. Saving keeps whatever else the file holds and replaces it in one step.
class SettingsStore {
public:
    // A file larger than this is not a settings file we wrote; it is neither read nor replaced.
    static constexpr std::size_t kMaxFileBytes = 64 * 1024 * 1024;

    explicit SettingsStore(std::filesystem::path file);

    const std::filesystem::path& File() const { return file_; }

    AppSettings Load(const SettingsEnvironment& environment) const;

    // False when the file could not be replaced (read-only, folder not writable, disk full, or
    // an existing file that cannot be read and so must not be overwritten). Nothing is shown;
    // the old file stays as it was.
    bool Save(const AppSettings& settings) const;

    // One further value kept in the same file (the bars' docking state), none when absent.
    std::optional<std::string> LoadValue(std::string_view section, std::string_view key) const;
    // Writes one further value, keeping everything else the file holds; false as for Save.
    bool SaveValue(std::string_view section, std::string_view key, std::string_view value) const;

private:
    // The file as it stands (an empty one when there is none), or none when a file is there
    // that cannot be read and so must not be replaced.
    std::optional<IniFile> ReadForUpdate() const;
    bool Write(const IniFile& ini) const;

    std::filesystem::path file_;
};

} // namespace pirela

namespace pirela {

// The rectangle the main window opens at. Clamping only the right and bottom edges can leave
// a rectangle with no width or height (a window saved far right on a larger screen); such a
// window could not be seen or grabbed, so it opens at the default place and size instead.
WindowRect UsableMainWindowRect(const WindowRect& saved, int screenWidth, int screenHeight);

} // namespace pirela
