#pragma once

#include <string>
#include <string_view>

namespace pirela {

// The path made absolute against the folder given (when it is relative) and freed of "."
// parts, ".." parts and doubled separators, by its text alone: the links it passes through
// are kept, since the desktop names a file by the path it was reached by.
std::string CanonicalAbsolutePath(std::string_view path, std::string_view currentFolder);

// The file's URI as the desktop's thumbnail cache names it: "file://" and the absolute
// canonical path, every byte escaped as %XX (upper-case hex) but the letters, digits and
// - _ . ! ~ * ' ( ) and, in a path, / : @ & = + $ , that may stand unescaped. One spelling
// for one file, so that our thumbnails and the file managers' are one and the same.
std::string FileUri(std::string_view absolutePath);

// A file's URI in the shared thumbnail repository of its folder: "./" and its escaped name.
std::string RelativeFileUri(std::string_view fileName);

} // namespace pirela
