#pragma once

#include <optional>
#include <string>

class QWidget;

namespace pirela {

// The file dialog that picks an external program: "外部プログラムの選択", executables only,
// starting in startFolder. The chosen file's full path, or none when cancelled.
std::optional<std::string> AskForProgramFile(QWidget* owner, const std::string& startFolder);

} // namespace pirela
