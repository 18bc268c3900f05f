#pragma once

#include "load/DecodeJob.h"

#include <memory>
#include <string>
#include <vector>

namespace pirela {

// Starts decoding the image file the command line names, before anything else of the program
// exists, so that the decode runs while the windows are made, the settings load and the start
// question waits for its answer; the document takes it over when it shows the file. None when
// the command line names no image file. The decode waits for the view's plan before choosing
// whether to make a smaller preview first.
std::shared_ptr<DecodeJob> StartEarlyDecode(const std::vector<std::string>& arguments);

} // namespace pirela
