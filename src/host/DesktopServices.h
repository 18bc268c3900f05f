#pragma once

#include <string>

namespace pirela {

// What the desktop does for the program: opening a folder or a file with the user's chosen
// application, and starting a program. Each answers whether it succeeded.
class DesktopServices {
public:
    virtual ~DesktopServices() = default;

    virtual bool OpenFolder(const std::string& folder) = 0;
    virtual bool OpenFile(const std::string& file) = 0;
    // Whether the desktop has a program that opens files of the MIME type ("text/html"): the
    // opener says nothing when it finds none.
    virtual bool HasOpenerFor(const std::string& mimeType) = 0;
    // Starts the command (a path, or a name looked up on PATH) with the argument as its one
    // argument, never through a shell; true once the process has started.
    virtual bool StartProgram(const std::string& command, const std::string& argument) = 0;
};

} // namespace pirela
