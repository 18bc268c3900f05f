#pragma once

#include "platform/SystemCalls.h"
#include "send/SendRecord.h"

namespace pirela {

class FileWork;
class Prompter;

// Takes the last send back: a copy by deleting it, a move by moving the file back. It asks
// first, and tells the user when it cannot. It deletes only the copy the send made, never a
// file put in its place or changed since, and never the last copy of a file whose original is
// gone; it moves back only the file the send moved, and never replaces anything.
class SendUndo {
public:
    // The file operations run as the file work's.
    SendUndo(Prompter& prompter, FileWork& fileWork, const SystemCalls& calls = SystemCalls::Libc())
        : prompter_(prompter), fileWork_(fileWork), calls_(calls) {}

    // The user's Yes to taking the send back.
    bool Confirm(const SendRecord& record) const;
    // True when the copy is gone; false, after telling the user, when it stays.
    bool DeleteCopy(const SendRecord& record) const;
    // The file back at its old place; or refused, after telling the user; or cancelled by the
    // user on the way (the file stays where the send put it, and the send can still be taken
    // back). A move back from another disk shows its progress and may be cancelled.
    enum class MoveBackResult { MovedBack, Refused, Cancelled };
    MoveBackResult MoveBack(const SendRecord& record) const;

private:
    bool IsOurCopy(const SendRecord& record) const;
    bool IsTheMovedFile(const SendRecord& record) const;

    Prompter& prompter_;
    FileWork& fileWork_;
    const SystemCalls& calls_;
};

} // namespace pirela
