#pragma once

#include "journal/FileOperation.h"
#include "platform/FileTransfer.h"
#include "platform/SystemCalls.h"
#include "platform/TransferResult.h"

#include <string>
#include <vector>

namespace pirela {

class OperationLog;

// The trash as the journal keeps it: the file's identity is recorded before it goes, and where
// it went (the trashed file and its trash record, as the file's kept ones) at the end.
// Taking it back puts the file at its place again from the trash, never replacing anything and
// only while it is the file that went. Runs on the file work's thread.
class TrashOperation {
public:
    TrashOperation(OperationLog& log, const SystemCalls& calls = SystemCalls::Libc())
        : log_(log), calls_(calls) {}

    // NotRecorded when the journal could not record it: the file stays then.
    TransferResult Put(const std::string& path) const;
    // Several photos (each with its sidecars) as one operation; the first that the trash does
    // not take stops the rest and says why. Which photos went, in their order.
    TransferResult PutSeveral(const std::vector<std::string>& paths, std::vector<bool>& went) const;
    // Every photo back, or none: each must still be in the trash and its place free.
    UndoResult Undo(const FileOperation& trashed) const;

    // A trash cut short: the file is in the trash (found there by its identity as its disk keeps
    // it, After) or at its place (Before); a record left without its file goes, and so does the
    // claim of a rename the operation recorded claiming. Fills in where it went.
    static RecoveredState Recover(FileOperation& operation, const SystemCalls& calls,
                                  const ClaimHook& beforeClaiming);
    // Taking a trash back, cut short: the file back at its place (After) or still in the trash.
    static RecoveredState RecoverUndo(FileOperation& undo, const SystemCalls& calls,
                                      const ClaimHook& beforeClaiming);

private:
    OperationLog& log_;
    const SystemCalls& calls_;
};

} // namespace pirela
