#pragma once

#include <string>
#include <vector>

namespace pirela {

inline constexpr const char* kVersionText = "Pirela Version 1.2a";

// What the user asked for on the command line.
struct CommandLine {
    std::string pathToOpen; // the first argument that is not an option; empty when none
    bool showHelp = false;
    bool showVersion = false;
};

// Reads the arguments after the program's name. An argument beginning with "-" is an option;
// options other than --help and --version are ignored. After "--" every argument is a path, so
// that a file whose name begins with "-" can still be opened. Paths after the first are ignored.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The path made absolute against the current folder, "." and ".." taken out by their text,
// without a trailing separator. Its bytes stay as given: a name that is not UTF-8 still names
// its file.
std::string AbsoluteCommandLinePath(const std::string& path);

std::string HelpText();

} // namespace pirela
