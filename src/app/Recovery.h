#pragma once

#include "journal/FileOperation.h"
#include "platform/SystemCalls.h"

#include <cstdint>
#include <vector>

namespace pirela {

class OperationLog;

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
// lost, and no temporary or parking name of ours is left. It holds the journal's lock
// throughout, so that two instances never recover one operation.
class Recovery {
public:
    Recovery(OperationLog& log, const SystemCalls& calls = SystemCalls::Libc())
        : log_(log), calls_(calls) {}

    // What it dealt with, in the journal's order. With compact, the journal is compacted too
    // when it holds more than it keeps.
    std::vector<RecoveredOperation> Run(bool compact = false);

    // The journal is compacted when it holds more operations than it keeps in any case, or more
    // than the latest it keeps and some older than the days it keeps.
    static bool CompactionDue(std::size_t operations, std::int64_t oldest, std::int64_t now);

private:
    RecoveredState Recover(FileOperation& operation) const;
    RecoveredState RecoverSend(FileOperation& operation) const;
    RecoveredState RecoverUndo(FileOperation& operation) const;

    OperationLog& log_;
    const SystemCalls& calls_;
};

} // namespace pirela
