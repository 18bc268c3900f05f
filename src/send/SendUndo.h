#pragma once

#include "journal/FileOperation.h"
#include "platform/FileTransfer.h"
#include "platform/SystemCalls.h"

#include <atomic>

namespace pirela {

class OperationLog;

// Takes a send back, as an undo operation of the journal, on the file work's thread. A copy is
// taken away only while it is still the copy the send made (unchanged) and its original is
// still as it was when sent (or holds the same bytes): otherwise the copy may be the only
// version of the photo as it was. It goes to the trash, never straight to nothing, so that even
// a wrong answer can be taken back there. A move goes back only for the very file the send
// moved (an edit since does not stop it on a disk that keeps inode numbers), never replacing
// anything, with the permission bits it had before. A file the send replaced then comes back
// from the trash to its place. Nothing is touched when a check fails.
// A move back from another disk reports its progress and may be cancelled: the file then stays
// where the send put it, and the send can still be taken back.
class SendUndo {
public:
    SendUndo(OperationLog& log, const SystemCalls& calls = SystemCalls::Libc())
        : log_(log), calls_(calls) {}

    void OnProgress(TransferProgress progress) { progress_ = std::move(progress); }
    void CancelWhen(const std::atomic<bool>* cancel) { cancel_ = cancel; }

    // send is a copy or a move that ended done.
    UndoResult Undo(const FileOperation& send) const;

    // The undo operation of a send that was cut short, taken to one side: the send taken back
    // (After) or still standing (Before).
    static RecoveredState Recover(FileOperation& undo, const SystemCalls& calls,
                                  const ClaimHook& beforeClaiming);

private:
    UndoResult DeleteCopies(FileOperation& undo) const;
    UndoResult MoveBack(FileOperation& undo) const;
    // The file the send replaced, back at its place from the trash, when it is still there.
    static void BringBackReplaced(const OperationFile& file, const SystemCalls& calls,
                                  const ClaimHook& beforeClaiming);

    OperationLog& log_;
    const SystemCalls& calls_;
    TransferProgress progress_;
    const std::atomic<bool>* cancel_ = nullptr;
};

} // namespace pirela
