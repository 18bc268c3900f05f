#include "sandbox/DecoderProgram.h"

#include <array>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace pirela {

std::string FindDecoderProgram() {
    std::error_code error;
    const std::filesystem::path folder =
        std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
    const std::array<std::filesystem::path, 2> places{
        folder / "pirela-decoder", folder / ".." / "libexec" / "pirela" / "pirela-decoder"};
    for (const auto& place : places) {
        if (::access(place.c_str(), X_OK) == 0) {
            return place.string();
        }
    }
    return places[0].string();
}

} // namespace pirela
