#include "journal/JournalLocation.h"

#include <cstdlib>

namespace pirela {

std::filesystem::path DefaultJournalFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && state[0] == '/') {
        return std::filesystem::path(state) / "pirela";
    }
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home != nullptr ? home : "") / ".local" / "state" / "pirela";
}

} // namespace pirela
