#pragma once

#include <string>

namespace pirela {

class DesktopServices;
class Prompter;

// Opens the help page in the user's browser and folders in the file manager. The desktop's
// opener answers before anything has opened, even for a path that does not exist, so each
// target is checked first: a missing one is reported and the opener is never called.
class ShellOpener {
public:
    ShellOpener(Prompter& prompter, DesktopServices& desktop);

    // The help page; "ヘルプ ファイル <path> が開けません。" when it is not a file or will
    // not open, and a message naming it when the desktop has no program for web pages.
    bool OpenHelp(const std::string& helpFile);
    // A folder; "<path> が開けません。" when it is not a folder or will not open.
    bool OpenFolder(const std::string& folder);

private:
    bool Report(const std::string& message);

    Prompter& prompter_;
    DesktopServices& desktop_;
};

} // namespace pirela
