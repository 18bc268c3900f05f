#pragma once

#include "load/DecodeJob.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace pirela {

// Starts decoding the image file the command line names, before anything else of the program
// exists, so that the decode runs while the windows are made, the settings load and the start
// question waits for its answer; the document takes it over when it shows the file. Without a
// path, the file is the photo the settings say was shown at the last exit (when it is to open
// again). None when there is no such image file. Whether a smaller preview comes first is chosen
// from the settings file's zoom and saved window (never smaller than the view will be); a maximised
// window's size is not known yet, and the decode then waits for the view's plan.
std::shared_ptr<DecodeJob> StartEarlyDecode(const std::vector<std::string>& arguments,
                                            const std::filesystem::path& settingsFile);

} // namespace pirela
