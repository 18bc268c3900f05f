#pragma once

#include <string>

namespace pirela {

// Where a file went when it was put in the trash: enough to put it back, or to tell the user.
struct TrashedFile {
    std::string originalPath; // where the file was, as the caller named it
    std::string trashedPath;  // the file now: <trash>/files/<name>
    std::string infoPath;     // its record: <trash>/info/<name>.trashinfo
};

} // namespace pirela
