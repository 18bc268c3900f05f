#include "send/SendUndo.h"

#include "journal/OperationLog.h"
#include "common/PathRules.h"
#include "platform/DiskKind.h"
#include "platform/FileAccess.h"
#include "platform/FileTransfer.h"
#include "send/TransferRecovery.h"
#include "trash/Trash.h"

namespace pirela {

namespace {

// The copy may have been edited or replaced since the send: then the file at the destination
// is the user's, and it stays. A change that left size and modification time but not the
// change time (a new mode, or an edit in place that set the time back) is told apart by the
// content, which must still be the original's.
bool IsUnchangedCopy(const OperationFile& sent, DiskKind disk,
                     const std::optional<FileIdentity>& now) {
    if (!sent.placed || !now) {
        return false;
    }
    if (IsUnchangedOn(disk, sent.placed, now) && disk == DiskKind::Native) {
        return true;
    }
    FileIdentity unchanged = *now;
    unchanged.changedSeconds = sent.placed->changedSeconds;
    unchanged.changedNanoseconds = sent.placed->changedNanoseconds;
    // On a foreign disk size and time say little: the bytes must agree too.
    return (disk == DiskKind::Native ? unchanged == *sent.placed
                                     : IsUnchangedOn(disk, sent.placed, now)) &&
           HaveSameContent(sent.to, sent.from);
}

// Which file of a copy stops its undo: the copy, changed since; or the original, edited, put
// in another file's place or gone since (then the copy may be the only version of the photo as
// it was sent). None when the copy may go.
std::optional<std::string> CopyUndoStopper(const OperationFile& sent, const SystemCalls& calls) {
    const std::optional<FileIdentity> copy = FileIdentity::Of(sent.to);
    if (!IsUnchangedCopy(sent, DiskKindOf(FolderOf(sent.to), calls), copy)) {
        return sent.to;
    }
    const std::optional<FileIdentity> original = FileIdentity::Of(sent.from);
    if (!original ||
        (!IsUnchangedOn(DiskKindOf(FolderOf(sent.from), calls), sent.identity, original) &&
         !HaveSameContent(sent.to, sent.from))) {
        return sent.from;
    }
    return std::nullopt;
}

// A file that was moved stays the same file until it is replaced: an edit since does not stop
// it from going back where the disk keeps inode numbers, another file put in its place does.
// When nothing is there any more, the move back itself says so.
bool IsTheMovedFile(const OperationFile& sent, const SystemCalls& calls) {
    const std::optional<FileIdentity> now = FileIdentity::Of(sent.to);
    return !now || IsSameFileOn(DiskKindOf(FolderOf(sent.to), calls), sent.placed, now);
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
        const std::optional<std::string> stopper =
            copy ? CopyUndoStopper(sent, calls_)
                 : (IsTheMovedFile(sent, calls_) ? std::nullopt
                                                 : std::optional<std::string>(sent.to));
        if (stopper) {
            if (sent.companion) {
                continue; // a sidecar changed since stays; it never holds its photo back
            }
            return {UndoStatus::Changed, *stopper};
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

// A rename into the trash ignores the file's own permission bits, so a read-only copy goes
// too and its mode is never touched.
UndoResult SendUndo::DeleteCopies(FileOperation& undo) const {
    const ClaimHook beforeClaiming = log_.ClaimRecorder(undo);
    Trash trash(calls_);
    trash.BeforeClaiming(beforeClaiming);
    for (OperationFile& file : undo.files) {
        const TrashResult put = trash.Put(file.from);
        if (!put.Succeeded()) {
            if (file.companion) {
                continue;
            }
            return {UndoStatus::Failed, file.from};
        }
        file.trashed = put.file.trashedPath;
        file.trashedInfo = put.file.infoPath;
        BringBackReplaced(file, calls_, beforeClaiming);
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
        transfer.BeforeClaiming(log_.ClaimRecorder(undo));
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
        BringBackReplaced(file, calls_, log_.ClaimRecorder(undo));
    }
    return {};
}

void SendUndo::BringBackReplaced(const OperationFile& file, const SystemCalls& calls,
                                 const ClaimHook& beforeClaiming) {
    if (!file.kept.empty() && NameExists(file.kept)) {
        Trash trash(calls);
        trash.BeforeClaiming(beforeClaiming);
        trash.Restore({file.from, file.kept, file.keptInfo});
    }
}

RecoveredState SendUndo::Recover(FileOperation& undo, const SystemCalls& calls,
                                 const ClaimHook& beforeClaiming) {
    const bool copy = undo.undoneKind == operation::kCopy;
    RecoveredState state = RecoveredState::Before;
    Trash trash(calls);
    trash.BeforeClaiming(beforeClaiming);
    for (std::size_t i = 0; i < undo.files.size(); ++i) {
        const OperationFile& file = undo.files[i];
        const std::string temporary = TemporaryNameFor(undo.id, i);
        const DiskKind disk = DiskKindOf(FolderOf(file.from), calls);
        // The copy the undo took away went to the trash.
        const auto copyPut = [&] { return trash.Put(file.from).Succeeded(); };
        bool back = copy ? !IsSameFileOn(disk, file.identity, FileIdentity::Of(file.from))
                         : RecoverTransferredFile(undo, i, true, calls, beforeClaiming) ==
                               RecoveredState::After;
        // A sidecar whose photo went back follows it now, as the undo would have.
        if (!back && file.companion && state == RecoveredState::After) {
            back = copy ? copyPut() : FollowFile(file, temporary, true, calls, beforeClaiming);
        }
        if (back) {
            // A restore of the replaced file cut short after it claimed the name.
            if (!file.kept.empty() && NameExists(file.kept) && MayBeClaimOf(undo, file.from)) {
                calls.unlink(file.from.c_str());
            }
            BringBackReplaced(file, calls, beforeClaiming);
            state = file.companion ? state : RecoveredState::After;
        }
        // A put into the trash or a restore cut short leaves a record without its file, or on
        // FAT a claim in the trash.
        trash.ForgetCutShort(file.from, back ? std::nullopt : file.identity, ClaimedSince(undo));
    }
    return state;
}

} // namespace pirela
