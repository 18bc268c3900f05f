#pragma once

#include <ctime>
#include <string>
#include <string_view>

namespace pirela {

// The path as a URI path: every byte but the unreserved ASCII letters, digits, "-", ".", "_",
// "~" and the separator "/" becomes "%" and two upper-case hex digits, so any file name (one
// that is not UTF-8 too) is kept byte for byte ("50% off.jpg" is "50%25%20off.jpg").
std::string EscapeUriPath(std::string_view path);

// The record beside a trashed file: its original path, escaped (absolute, or relative to the
// top folder of the disk for a trash there), and the local time it was trashed.
std::string TrashInfoText(std::string_view originalPath, std::time_t deleted);

// The name a file takes in the trash at the given attempt (1, 2, ...): the file's own name,
// then "stem.2.ext" and so on; cut so that the name and its ".trashinfo" record both fit in a
// folder entry.
std::string TrashEntryName(std::string_view fileName, int attempt);

inline constexpr std::string_view kTrashInfoSuffix = ".trashinfo";

} // namespace pirela
