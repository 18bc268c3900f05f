#pragma once

#include <filesystem>

namespace pirela {

// The journal's folder: $XDG_STATE_HOME/pirela, or ~/.local/state/pirela.
std::filesystem::path DefaultJournalFolder();

// The journal in its folder.
inline std::filesystem::path JournalFileIn(const std::filesystem::path& folder) {
    return folder / "journal";
}

} // namespace pirela
