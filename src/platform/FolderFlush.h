#pragma once

#include "platform/SystemCalls.h"

#include <filesystem>

namespace pirela {

// Puts the folder's entries on the disk (a name made, renamed or removed there survives a power
// cut or a card pulled once this returns): fsync of the folder, and where the disk refuses that
// (EINVAL, ENOSYS or ENOTSUP, as some FUSE and network disks do) syncfs of its whole disk,
// the next best. A read-only disk has nothing to flush. 0, or the errno of the call that failed.
int FlushFolder(const std::filesystem::path& folder, const SystemCalls& calls = SystemCalls::Libc());

} // namespace pirela
