#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pirela {

// Where the launcher lives and what it starts.
struct LauncherPlaces {
    std::string applicationsFolder; // the user's applications folder
    std::string iconFolder;         // where the icon named "pirela" is looked up
    std::string programPath;        // the running program, its links resolved
};

// Pirela's launcher "NAME.desktop" in the user's applications folder, which lets file managers
// offer Pirela in their "Open with" menus. It is recognised by what it starts, never by its
// name, and only ours is ever renamed or deleted: another program's launcher, or another
// launcher of the same name, is never replaced.
class Launcher {
public:
    explicit Launcher(LauncherPlaces places);

    // The first launcher of the folder (in name order) whose Exec starts exactly our program.
    std::optional<std::string> FindOwn() const;
    // Creates NAME.desktop and installs the icon. Fails, writing nothing, when the name holds a
    // "/" or is empty, or when a file of that name exists.
    std::optional<std::string> Create(std::string_view name, std::string_view iconSvg) const;
    // Moves our launcher to NAME.desktop and renames it inside too; none, with the launcher left
    // as it was, when the name is not usable, the new name is taken or the file is not ours.
    std::optional<std::string> Rename(const std::string& launcher, std::string_view name) const;
    // Deletes the launcher, if it still starts our program.
    bool Remove(const std::string& launcher) const;

    // What OK on the options does with the launcher: delete it when unticked, create it when
    // ticked and missing, rename it when ticked and renamed. An empty name is "PIRELA".
    // existing follows the launcher on disk. False only when a wanted launcher could not be
    // created, which the user must be told.
    bool Apply(std::optional<std::string>& existing, bool wanted, std::string_view typedName,
               bool nameChanged, std::string_view iconSvg) const;

    // The name a launcher shows in the options: its file name without ".desktop".
    static std::string DisplayName(std::string_view launcherPath);

private:
    bool IsOwn(const std::string& launcher) const;
    std::optional<std::string> PathFor(std::string_view name) const;
    void InstallIcon(std::string_view iconSvg) const;

    LauncherPlaces places_;
};

} // namespace pirela
