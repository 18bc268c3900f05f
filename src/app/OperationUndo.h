#pragma once

#include "journal/FileOperation.h"
#include "platform/SystemCalls.h"

#include <atomic>

namespace pirela {

class DocumentHost;
class OperationLog;
class Prompter;

// Takes an operation of the journal back as the undo command does: asks first, runs the undo
// as file work, and tells the user when it could not be done. A move that could not go back is
// spent, as it always was; any other operation that could not be taken back stays offered,
// unless the user chooses to pass it over, so that the next undo takes the one before it. A move
// back the user cancels on the way leaves the move where it is, still offered.
class OperationUndo {
public:
    enum class Outcome { Declined, Done, Refused, Cancelled };

    OperationUndo(Prompter& prompter, DocumentHost& host, OperationLog& log,
                  const SystemCalls& calls = SystemCalls::Libc())
        : prompter_(prompter), host_(host), log_(log), calls_(calls) {}

    Outcome Run(const FileOperation& operation) const;

private:
    UndoResult RunAsFileWork(const FileOperation& operation) const;
    UndoResult Undo(const FileOperation& operation, const std::atomic<bool>& cancel) const;
    // Records that the operation is passed over: the next undo takes the one before it.
    void PassOver(const FileOperation& operation) const;

    Prompter& prompter_;
    DocumentHost& host_;
    OperationLog& log_;
    const SystemCalls& calls_;
};

} // namespace pirela
