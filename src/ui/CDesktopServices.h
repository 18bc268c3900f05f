#pragma once

#include "host/DesktopServices.h"

namespace pirela {

// The freedesktop.org trash, the desktop's opener and detached processes, through Qt.
class CDesktopServices : public DesktopServices {
public:
    bool MoveToTrash(const std::string& path) override;
    bool OpenFolder(const std::string& folder) override;
    bool OpenFile(const std::string& file) override;
    bool StartProgram(const std::string& command, const std::string& argument) override;
};

} // namespace pirela
