#pragma once

#include "journal/FileOperation.h"
#include "platform/FileTransfer.h"
#include "platform/SystemCalls.h"

namespace pirela {

class OperationLog;

// Takes a batch rename back in one step, as an undo operation of the journal: every file the
// rename moved goes back to its old name, or none does. Each must still be the file the rename
// moved (by the identity its disk keeps, DiskKind) and its old name free (or another file's of
// the run); otherwise nothing is touched. Runs on the file work's thread.
class RenameUndo {
public:
    RenameUndo(OperationLog& log, const SystemCalls& calls = SystemCalls::Libc())
        : log_(log), calls_(calls) {}

    UndoResult Undo(const FileOperation& rename) const;

    // A batch rename, or the undo of one, cut short. Where each file stands is found by name
    // first: its parking name is the operation's own; a file under its old or new name is told
    // by the identity its disk keeps (a card replugged hands out new inode numbers, so there it
    // is its size and time), and a name that is one file's old and another's new goes to the
    // file it matches, the others' places deciding where both match. When every file already
    // has its new name the run is finished (After); otherwise every file goes back to its old
    // name (Before). A file whose old name is taken by now gets its new one or, failing that, a
    // visible name of its own, told in the operation's leftInDoubt: none stays hidden under a
    // parking name unless the disk refuses every rename (Unresolved, tried again at the next
    // start). Empty files the operation recorded claiming are removed; nothing else is, and
    // files no longer found are passed over.
    static RecoveredState Recover(FileOperation& operation, const SystemCalls& calls,
                                  const ClaimHook& beforeClaiming);

private:
    OperationLog& log_;
    const SystemCalls& calls_;
};

} // namespace pirela
