#include "app/EarlyDecode.h"

#include "app/CommandLine.h"
#include "common/PathRules.h"
#include "image/ImageFormat.h"

#include <sys/stat.h>

namespace pirela {

std::shared_ptr<DecodeJob> StartEarlyDecode(const std::vector<std::string>& arguments) {
    const std::string named = ParseCommandLine(arguments).pathToOpen;
    if (named.empty()) {
        return nullptr;
    }
    const std::string path = AbsoluteCommandLinePath(named);
    const std::string_view extension = ExtensionOf(FileNameOf(path));
    struct stat status {};
    if (!IsOpenableExtension(extension) || ::stat(path.c_str(), &status) != 0 ||
        !S_ISREG(status.st_mode)) {
        return nullptr;
    }
    return std::make_shared<DecodeJob>(path, FormatForExtension(extension), true, std::nullopt);
}

} // namespace pirela
