#pragma once

#include "platform/SystemCalls.h"

#include <cerrno>

namespace pirela {

// What the failure of OpenRegularFile sets errno to when the path names something other than a
// regular file (a folder, a pipe, a device, a socket).
inline constexpr int kNotRegularFileError = EINVAL;

// Opens the file for reading, but only a regular file (a symbolic link is followed): a pipe or
// a device named like an image would otherwise hold the caller for ever. The file is opened
// without waiting, its kind is checked on the open descriptor (so nothing can be swapped in
// between), and only then is the descriptor made blocking again. -1 with errno when it fails.
int OpenRegularFile(const char* path, const SystemCalls& calls = SystemCalls::Libc());

// Whether the name stands for a regular file, itself or as a symbolic link to one: the only
// names that are moved, renamed or put in the trash.
bool NamesRegularFile(const char* path);

} // namespace pirela
