#pragma once

#include "platform/FileTransfer.h"

#include <string>

namespace pirela {

// Where a send writes the file, and whether the user agreed to replace what stands there. The
// two travel together: a file that appears at the path after the user was asked is never
// replaced unless the user said Yes to that very path.
struct SendTarget {
    std::string path;
    Overwrite overwrite = Overwrite::Refuse;
};

} // namespace pirela
