#pragma once

#include <string>
#include <vector>

namespace pirela {

// Starts a program that lives on by itself: in a session of its own (closing Pirela's terminal
// does not end it), with default signal handling and Pirela's environment. A program named
// without "/" is looked up on PATH. Every argument reaches it as the bytes given, never through
// a shell. 0 once the program runs, or the errno of the failure (ENOENT: no such program,
// EACCES: not executable). Pirela does not wait for it, and nothing is left behind when it
// ends.
int StartDetached(const std::string& program, const std::vector<std::string>& arguments);

} // namespace pirela
