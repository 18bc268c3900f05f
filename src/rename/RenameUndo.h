#pragma once

#include "journal/FileOperation.h"
#include "platform/SystemCalls.h"

namespace pirela {

class OperationLog;

// Takes a batch rename back in one step, as an undo operation of the journal: every file the
// rename moved goes back to its old name, or none does. Each must still be the file the rename
// moved (device and inode) and its old name free (or another file's of the run); otherwise
// nothing is touched. Runs on the file work's thread.
class RenameUndo {
public:
    RenameUndo(OperationLog& log, const SystemCalls& calls = SystemCalls::Libc())
        : log_(log), calls_(calls) {}

    UndoResult Undo(const FileOperation& rename) const;

    // A batch rename, or the undo of one, cut short: where each file stands is found by its
    // parking name or by device and inode; when every file already has its new name the run
    // is finished (After), otherwise every file goes back to its old name (Before). Empty
    // files of ours claiming a name are removed; files no longer found are passed over.
    static RecoveredState Recover(FileOperation& operation, const SystemCalls& calls);

private:
    OperationLog& log_;
    const SystemCalls& calls_;
};

} // namespace pirela
