#pragma once

#include "settings/AppSettings.h"
#include "settings/IniFile.h"

#include <cstddef>
#include <filesystem>
#include <functional>
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

enum class SaveOutcome {
    Saved,
    // Left alone on purpose: a file without any write permission bit (its owner's wish), or one
    // that could not be read and so must not be replaced (the user heard of it at the start).
    Kept,
    // Could not be written (a full disk, a folder or disk that became read-only): this run's
    // settings are lost unless the user hears of it.
    Failed,
};

// The settings file on disk. Loading never fails: a missing, unreadable or garbled file gives
// the defaults. Saving keeps whatever else the file holds and replaces it in one step. Two
// Pirelas may share the file: each writes only the settings it changed, under a lock, so one
// never undoes what the other saved.
class SettingsStore {
public:
    // A file larger than this is not a settings file we wrote; it is neither read nor replaced.
    static constexpr std::size_t kMaxFileBytes = 64 * 1024 * 1024;

    explicit SettingsStore(std::filesystem::path file);

    const std::filesystem::path& File() const { return file_; }

    // Also remembers what was read, so that a save writes only what changed since.
    AppSettings Load(const SettingsEnvironment& environment);
    // Whether the last load found a file it could not read (too large, not a file, an I/O
    // error), which the defaults stand in for and which is never replaced.
    bool FileUnreadable() const { return unreadable_; }

    // Writes the settings that differ from what was loaded or last saved, and those the file
    // lacks; every other line of the file stays as the file has it now. The old file stays as
    // it was unless the outcome is Saved.
    SaveOutcome Save(const AppSettings& settings);

    // Removes the temporary files of saves that were cut short (a kill, a power cut); called at
    // the start, under the lock, so that no running save loses its own.
    void RemoveLeftovers() const;

    // One further value kept in the same file (the bars' docking state), none when absent.
    std::optional<std::string> LoadValue(std::string_view section, std::string_view key) const;
    // Writes one further value, keeping everything else the file holds; as Save does.
    SaveOutcome SaveValue(std::string_view section, std::string_view key,
                          std::string_view value) const;

private:
    // The file as it stands (an empty one when there is none), or none when a file is there
    // that cannot be read and so must not be replaced.
    std::optional<IniFile> ReadForUpdate() const;
    SaveOutcome Update(const std::function<void(IniFile&)>& change) const;

    std::filesystem::path file_;
    std::optional<IniFile> written_; // our settings as last read or written
    bool unreadable_ = false;
};

} // namespace pirela

namespace pirela {

// The rectangle the main window opens at. Clamping only the right and bottom edges can leave
// a rectangle with no width or height (a window saved far right on a larger screen); such a
// window could not be seen or grabbed, so it opens at the default place and size instead.
WindowRect UsableMainWindowRect(const WindowRect& saved, int screenWidth, int screenHeight);

} // namespace pirela
