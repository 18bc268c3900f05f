// Feeds arbitrary bytes to the launcher reader as another program's ".desktop" file, then
// checks that a launcher we write for any name and program path reads back exactly.
#include "platform/DesktopEntry.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto entry = pirela::ParseDesktopEntry(text)) {
        (void)pirela::ExecProgram(entry->exec);
        (void)pirela::WithLauncherName(text, entry->name);
    }
    const std::size_t half = size / 2;
    const std::string name(text.substr(0, half));
    const std::string program(text.substr(half));
    const auto written = pirela::ParseDesktopEntry(pirela::ComposeLauncher(name, program));
    if (!written || written->name != name ||
        (!program.empty() && pirela::ExecProgram(written->exec) != program)) {
        std::abort();
    }
    return 0;
}
