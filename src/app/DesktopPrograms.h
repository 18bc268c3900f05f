#pragma once

#include "host/DesktopServices.h"

namespace pirela {

// The desktop's opener (xdg-open, which hands a file or folder to the user's chosen
// application) and other programs, started by the core with each path's own bytes, so that a
// name that is not UTF-8 reaches them unchanged.
class DesktopPrograms : public DesktopServices {
public:
    // Each first checks that the target is what it should be: the opener would report success
    // for anything, even a path that does not exist.
    bool OpenFolder(const std::string& folder) override;
    bool OpenFile(const std::string& file) override;
    // The opener is installed, and the MIME database names an application for the type (for
    // web pages the opener also falls back to the browser the system names).
    bool HasOpenerFor(const std::string& mimeType) override;
    bool StartProgram(const std::string& command, const std::string& argument) override;
};

} // namespace pirela
