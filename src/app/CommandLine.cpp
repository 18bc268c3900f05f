#include "app/CommandLine.h"

#include "common/PathRules.h"

#include <filesystem>

namespace pirela {

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine result;
    bool optionsEnded = false;
    for (const std::string& argument : arguments) {
        const bool isOption = !optionsEnded && !argument.empty() && argument.front() == '-';
        if (!isOption) {
            if (result.pathToOpen.empty()) {
                result.pathToOpen = argument;
            }
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--help" || argument == "-h") {
            result.showHelp = true;
        } else if (argument == "--version") {
            result.showVersion = true;
        }
    }
    return result;
}

std::string AbsoluteCommandLinePath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return WithoutTrailingSeparator(error ? path : absolute.lexically_normal().string());
}

std::string HelpText() {
    return "Usage: pirela [OPTION]... [FILE | FOLDER]\n"
           "Shows the image FILE, or the images of FOLDER, and sorts them into folders.\n"
           "\n"
           "  --help     show this help and exit\n"
           "  --version  show the version and exit\n"
           "  --         take every later argument as a path\n"
           "\n"
           "Qt's own options, such as -platform NAME, are accepted too.\n";
}

} // namespace pirela
