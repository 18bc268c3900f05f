#pragma once

#include "journal/FileOperation.h"
#include "platform/FileTransfer.h"
#include "platform/SystemCalls.h"

#include <atomic>
#include <cstdint>
#include <vector>

namespace pirela {

class OperationLog;
struct JournalScan;

// One operation recovery dealt with, and where it left it.
struct RecoveredOperation {
    FileOperation operation;
    RecoveredState state = RecoveredState::Before;
};

// Takes every operation of the journal that is still open and whose instance is gone (it
// crashed, was killed, or lost its power) to a consistent state, and closes it: a send is
// finished when its new file is whole in place or can be placed, else taken back; a trash is
// finished or not as the disk shows; a batch rename is finished only when every file already
// has its new name, else every file goes back to its old one; an undo likewise. Nothing is
// lost, and no temporary or parking name of ours is left; a file that may be the user's is
// never removed (it stays, or goes to the trash, and the message says so). Under the journal's
// lock it reads the journal and takes each such operation over (its owner becomes this
// instance), so that no other instance recovers it too; the files themselves, whose contents
// it may compare or copy on a slow disk, it deals with after letting the lock go, and each end
// takes the lock again only for its own append.
class Recovery {
public:
    Recovery(OperationLog& log, const SystemCalls& calls = SystemCalls::Libc())
        : log_(log), calls_(calls) {}

    // What it dealt with, in the journal's order. With compact, the journal is compacted too
    // when it holds more than it keeps. Nothing, when the flag was set while another instance
    // held the journal.
    std::vector<RecoveredOperation> Run(bool compact = false,
                                        const std::atomic<bool>* cancel = nullptr);
    // Whether the last run stopped waiting for the journal, cancelled.
    bool Cancelled() const { return cancelled_; }

    // The journal is compacted when it holds more operations than it keeps in any case, or more
    // than the latest it keeps and some older than the days it keeps.
    static bool CompactionDue(std::size_t operations, std::int64_t oldest, std::int64_t now);

private:
    // The open operations of dead instances, taken over under the lock.
    std::vector<FileOperation> Adopt(const JournalScan& scan) const;
    RecoveredState Recover(FileOperation& operation) const;
    RecoveredState RecoverSend(FileOperation& operation, const ClaimHook& beforeClaiming) const;
    RecoveredState RecoverUndo(FileOperation& operation, const ClaimHook& beforeClaiming) const;

    OperationLog& log_;
    const SystemCalls& calls_;
    bool cancelled_ = false;
};

} // namespace pirela
