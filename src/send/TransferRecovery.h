#pragma once

#include "journal/FileOperation.h"
#include "platform/FileTransfer.h"
#include "platform/SystemCalls.h"

#include <cstddef>
#include <string_view>

namespace pirela {

// Takes file `index` of a copy or move (a send, or a move back) that was cut short at any point
// to a consistent state, as the disk shows it now. Files are told by their names first: the
// operation's temporary (TemporaryNameFor beside the destination) is its own; device and inode
// numbers count only on a disk that keeps them (DiskKind), elsewhere size and modification time.
// - a move on one disk has moved the file itself or not; a name made twice (a link whose old
//   name was not yet removed) or an empty claim the operation recorded is removed;
// - a temporary that holds the source's bytes whole is flushed, given the source's mode and
//   times, and placed where the destination is still free; any other temporary is removed;
// - a copy in place stays; for a move its source is removed when the copy holds the same bytes;
// - nothing that may be the user's is ever removed: a file at the destination that differs from
//   what the operation placed there (edited, or another file under that name) stays, and the
//   source with it; the operation's own copy that no longer matches its source goes to the
//   trash. Either is noted in the operation's leftInDoubt or trashedInDoubt for the message.
// Before: the file is where it was (what was left in doubt aside). After: the destination holds
// it (a move's source is gone). The file the operation sent to the trash is the caller's.
RecoveredState RecoverTransferredFile(FileOperation& operation, std::size_t index, bool move,
                                      const SystemCalls& calls, const ClaimHook& beforeClaiming);

// A sidecar whose photo went before the operation was cut short goes after it now, as the
// operation would have taken it (under the temporary name given), into a free place only and
// only while it is the file recorded; true when it went.
bool FollowFile(const OperationFile& sidecar, std::string_view temporaryName, bool move,
                const SystemCalls& calls, const ClaimHook& beforeClaiming);

} // namespace pirela
