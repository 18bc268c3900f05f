#include "send/SendUndo.h"

#include "journal/OperationLog.h"
#include "platform/FileAccess.h"
#include "platform/FileTransfer.h"
#include "send/TransferRecovery.h"
#include "trash/Trash.h"

namespace pirela {

namespace {

// The copy may have been edited or replaced since the send, and the original may have gone
// since: then the file at the destination is the user's only one, and it stays. A change that
// left size and modification time but not the change time (a new mode, or an edit in place
// that set the time back) is told apart by the content, which must still be the original's.
bool IsOurCopy(const OperationFile& sent) {
    const std::optional<FileIdentity> now = FileIdentity::Of(sent.to);
    if (!sent.placed || !now || !NameExists(sent.from)) {
        return false;
    }
    FileIdentity unchanged = *now;
    unchanged.changedSeconds = sent.placed->changedSeconds;
    unchanged.changedNanoseconds = sent.placed->changedNanoseconds;
    return *now == *sent.placed ||
           (unchanged == *sent.placed && HaveSameContent(sent.to, sent.from));
}

// A file that was moved stays the same file (device and inode) until it is replaced: an edit
// since does not stop it from going back, another file put in its place does. When nothing is
// there any more, the move back itself says so.
bool IsTheMovedFile(const OperationFile& sent) {
    const std::optional<FileIdentity> now = FileIdentity::Of(sent.to);
    return !now || SameFile(now, sent.placed);
}

} // namespace

UndoResult SendUndo::Undo(const FileOperation& send) const {
    const bool copy = send.kind == operation::kCopy;
    FileOperation undo;
    undo.kind = operation::kUndo;
    undo.undoes = send.id;
    undo.undoneKind = send.kind;
    for (const OperationFile& sent : send.files) {
        if (!sent.moved) {
            continue;
        }
        if (copy ? !IsOurCopy(sent) : !IsTheMovedFile(sent)) {
            if (sent.companion) {
                continue; // a sidecar changed since stays; it never holds its photo back
            }
            return {UndoStatus::Changed, sent.to};
        }
        if (sent.companion && (!NameExists(sent.to) || (!copy && NameExists(sent.from)))) {
            continue;
        }
        // From where the file is now back to where it was.
        OperationFile back{sent.to, sent.from};
        back.identity = copy ? sent.placed : FileIdentity::Of(sent.to);
        back.mode = sent.mode;
        back.kept = sent.kept;
        back.keptInfo = sent.keptInfo;
        back.companion = sent.companion;
        undo.files.push_back(std::move(back));
    }
    if (!log_.Begin(undo)) {
        return {UndoStatus::NotRecorded, {}};
    }
    const UndoResult result = copy ? DeleteCopies(undo) : MoveBack(undo);
    log_.End(undo, result.status == UndoStatus::Done        ? operation::kDone
                   : result.status == UndoStatus::Cancelled ? operation::kCancelled
                                                            : operation::kFailed);
    return result;
}

// Unlinking ignores the file's own permission bits, so a read-only copy goes too and its mode
// is never touched.
UndoResult SendUndo::DeleteCopies(FileOperation& undo) const {
    for (const OperationFile& file : undo.files) {
        if (!FileTransfer(calls_).Remove(file.from).Succeeded()) {
            if (file.companion) {
                continue;
            }
            return {UndoStatus::Failed, file.from};
        }
        BringBackReplaced(file, calls_);
    }
    return {};
}

UndoResult SendUndo::MoveBack(FileOperation& undo) const {
    for (std::size_t i = 0; i < undo.files.size(); ++i) {
        OperationFile& file = undo.files[i];
        FileTransfer transfer(calls_);
        if (file.mode) {
            transfer.SetCopyMode(*file.mode);
        }
        transfer.UseTemporaryName(TemporaryNameFor(undo.id, i));
        transfer.OnProgress(progress_);
        transfer.CancelWhen(cancel_);
        bool recorded = true;
        transfer.BeforeRemovingSource([&] {
            file.placed = FileIdentity::Of(file.to);
            JournalRecord placed = OperationRecord(undo, "placed");
            recorded = log_.Write(AddFileFields(placed, i, file));
            return recorded;
        });
        const TransferResult moved = transfer.Move(file.from, file.to, Overwrite::Refuse);
        if (moved.status == TransferStatus::Cancelled && !file.companion) {
            return {UndoStatus::Cancelled, file.from};
        }
        if (!moved.Succeeded() && (!file.companion || !recorded)) {
            return {recorded ? UndoStatus::Failed : UndoStatus::NotRecorded, file.from};
        }
        if (!moved.Succeeded()) {
            continue; // a sidecar that cannot go back stays
        }
        BringBackReplaced(file, calls_);
    }
    return {};
}

void SendUndo::BringBackReplaced(const OperationFile& file, const SystemCalls& calls) {
    if (!file.kept.empty() && NameExists(file.kept)) {
        Trash(calls).Restore({file.from, file.kept, file.keptInfo});
    }
}

RecoveredState SendUndo::Recover(const FileOperation& undo, const SystemCalls& calls) {
    const bool copy = undo.undoneKind == operation::kCopy;
    RecoveredState state = RecoveredState::Before;
    for (std::size_t i = 0; i < undo.files.size(); ++i) {
        const OperationFile& file = undo.files[i];
        const std::string temporary = TemporaryNameFor(undo.id, i);
        bool back = copy ? !SameFile(FileIdentity::Of(file.from), file.identity)
                         : RecoverTransferredFile(file, temporary, true, calls) ==
                               RecoveredState::After;
        // A sidecar whose photo went back follows it now, as the undo would have.
        if (!back && file.companion && state == RecoveredState::After) {
            back = copy ? calls.unlink(file.from.c_str()) == 0
                        : FollowFile(file, temporary, true, calls);
        }
        if (back) {
            BringBackReplaced(file, calls);
            Trash(calls).ForgetCutShort(file.from);
            state = file.companion ? state : RecoveredState::After;
        }
    }
    return state;
}

} // namespace pirela
