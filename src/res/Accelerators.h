#pragma once

#include <vector>

namespace pirela::res {

// One key of the main window's accelerator table, written as Qt writes key sequences
// ("Ctrl+O", "Space", "Num+1").
struct Accelerator {
    const char* keys;
    int command;
};

// The main window's accelerator table (resource 128). Each new command adds its keys here.
const std::vector<Accelerator>& MainAccelerators();

} // namespace pirela::res
