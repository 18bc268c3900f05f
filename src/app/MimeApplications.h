#pragma once

#include "platform/DesktopEntry.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pirela {

// An application of the desktop as the launcher that opens files with it names it.
struct DesktopApplication {
    std::string name;    // the Japanese name when the launcher has one
    std::string program; // the one program its command starts
};

// The desktop's MIME database: which applications open a type of file, in the desktop's order
// of preference (the defaults of the mimeapps.list files, their added associations, then the
// launchers' own claims collected in mimeinfo.cache, without the removed associations), and
// what each launcher holds. Read from the XDG folders named by the environment; tests give
// their own.
class MimeApplications {
public:
    // configFolders: $XDG_CONFIG_HOME, then $XDG_CONFIG_DIRS; dataFolders: $XDG_DATA_HOME,
    // then $XDG_DATA_DIRS (each without "/applications").
    MimeApplications(std::vector<std::string> configFolders, std::vector<std::string> dataFolders);
    static MimeApplications FromEnvironment();

    // The launchers (desktop file ids) for the type that exist, each once, in order.
    std::vector<std::string> ApplicationsFor(std::string_view mimeType) const;
    std::optional<DesktopEntry> Launcher(std::string_view desktopId) const;

    // The first image editor the desktop offers for JPEG photos: a launcher for raster images
    // that is not a viewer, whose command is one program taking files, and that program is
    // installed. None when the desktop has none.
    std::optional<DesktopApplication> ImageEditor() const;

private:
    std::vector<std::string> AssociationFiles() const;
    std::optional<std::string> LauncherFile(std::string_view desktopId) const;

    std::vector<std::string> configFolders_;
    std::vector<std::string> dataFolders_;
};

// Whether the program (a path, or a name looked up on PATH) is an executable file.
bool ProgramInstalled(const std::string& program);

// The one program an Exec value starts when its other words are only field codes for the
// files to open (%f %F %u %U); none for a command with arguments of its own, which a program
// entry cannot hold.
std::optional<std::string> SoleProgramOf(std::string_view exec);

} // namespace pirela
