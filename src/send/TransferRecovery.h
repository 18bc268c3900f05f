#pragma once

#include "journal/FileOperation.h"
#include "platform/SystemCalls.h"

#include <string_view>

namespace pirela {

// Takes one file of a copy or move (a send, or a move back) that was cut short at any point to
// a consistent state, as the disk shows it now:
// - a move on one disk has moved the file itself (by device and inode) or not; a name made
//   twice (a link whose old name was not yet removed) or an empty claim of ours is removed;
// - a temporary of ours (temporaryName beside the destination) that holds the source's bytes
//   whole is flushed, given the source's mode and times, and placed where the destination is
//   still free; any other temporary is removed;
// - a copy in place stays; for a move its source is removed when the copy holds the same bytes,
//   else the copy is removed, when it is known to be ours;
// - a file at the destination that stood there before, or that cannot be told to be ours, is
//   never touched.
// Before: the file is where it was and nothing of ours is beside it. After: the destination
// holds it (a move's source is gone). The file the operation sent to the trash is the caller's.
RecoveredState RecoverTransferredFile(const OperationFile& file, std::string_view temporaryName,
                                      bool move, const SystemCalls& calls = SystemCalls::Libc());

// A sidecar whose photo went before the operation was cut short goes after it now, as the
// operation would have taken it (under the temporary name given), into a free place only and
// only while it is the file recorded; true when it went.
bool FollowFile(const OperationFile& sidecar, std::string_view temporaryName, bool move,
                const SystemCalls& calls = SystemCalls::Libc());

} // namespace pirela
