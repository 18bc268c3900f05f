#include "app/TrashOperation.h"

#include "journal/OperationLog.h"
#include "common/PathRules.h"
#include "platform/DiskKind.h"
#include "platform/FileAccess.h"
#include "platform/Sidecars.h"
#include "trash/Trash.h"

namespace pirela {

namespace {

// Where the file went in the trash, once it went.
void Keep(OperationFile& file, const TrashResult& put) {
    file.moved = put.Succeeded();
    file.kept = put.file.trashedPath;
    file.keptInfo = put.file.infoPath;
}

// Whether the file at the path is the one recorded, as the disk it lies on keeps identities.
bool IsRecordedFile(const std::string& path, const std::optional<FileIdentity>& identity,
                    const SystemCalls& calls) {
    return IsSameFileOn(DiskKindOf(FolderOf(path), calls), identity, FileIdentity::Of(path));
}

// Whether the file is still in the trash and its place free.
bool CanComeBack(const OperationFile& file, const SystemCalls& calls) {
    return !file.kept.empty() && IsRecordedFile(file.kept, file.identity, calls) &&
           !NameExists(file.from);
}

// One file cut short on its way to the trash: there (found by its identity, After) or still at
// its place (Before); a record left without its file, or with a claim of ours, goes.
RecoveredState RecoverFile(const FileOperation& operation, OperationFile& file, const Trash& trash,
                           const SystemCalls& calls) {
    trash.ForgetCutShort(file.from, file.identity, ClaimedSince(operation));
    if (!file.identity || IsRecordedFile(file.from, file.identity, calls)) {
        file.moved = false;
        return RecoveredState::Before;
    }
    const std::optional<TrashedFile> found = trash.Find(file.from, *file.identity);
    file.moved = found.has_value();
    if (!found) {
        return RecoveredState::Before; // neither here nor in the trash: nothing of ours to do
    }
    file.kept = found->trashedPath;
    file.keptInfo = found->infoPath;
    return RecoveredState::After;
}

} // namespace

TransferResult TrashOperation::Put(const std::string& path) const {
    FileOperation operation;
    operation.kind = operation::kTrash;
    operation.files.push_back({path, {}, FileIdentity::Of(path)});
    for (const std::string& sidecar : SidecarsOf(path)) {
        operation.files.push_back({sidecar, {}, FileIdentity::Of(sidecar)});
        operation.files.back().companion = true;
    }
    if (!log_.Begin(operation)) {
        return {TransferStatus::NotRecorded, 0};
    }
    Trash trash(calls_);
    trash.BeforeClaiming(log_.ClaimRecorder(operation));
    const TrashResult put = trash.Put(path);
    Keep(operation.files[0], put);
    for (std::size_t i = 1; i < operation.files.size(); ++i) {
        OperationFile& sidecar = operation.files[i];
        sidecar.moved = false;
        if (put.Succeeded()) {
            Keep(sidecar, trash.Put(sidecar.from));
        }
    }
    log_.End(operation, put.Succeeded() ? operation::kDone : operation::kFailed);
    return put.result;
}

UndoResult TrashOperation::Undo(const FileOperation& trashed) const {
    const OperationFile& file = trashed.files.at(0);
    if (!IsRecordedFile(file.kept, file.identity, calls_)) {
        return {UndoStatus::Changed, file.kept};
    }
    if (NameExists(file.from)) {
        return {UndoStatus::Taken, file.from};
    }
    FileOperation undo;
    undo.kind = operation::kUndo;
    undo.undoes = trashed.id;
    undo.undoneKind = trashed.kind;
    for (const OperationFile& each : trashed.files) {
        // A sidecar that left the trash, or whose place is taken, stays where it is.
        if (&each == &file || (each.moved && CanComeBack(each, calls_))) {
            undo.files.push_back({each.kept, each.from, each.identity});
            undo.files.back().keptInfo = each.keptInfo;
            undo.files.back().companion = each.companion;
        }
    }
    if (!log_.Begin(undo)) {
        return {UndoStatus::NotRecorded, {}};
    }
    Trash trash(calls_);
    trash.BeforeClaiming(log_.ClaimRecorder(undo));
    const TransferResult back = trash.Restore({file.from, file.kept, file.keptInfo});
    if (back.Succeeded()) {
        for (std::size_t i = 1; i < undo.files.size(); ++i) {
            const OperationFile& sidecar = undo.files[i];
            trash.Restore({sidecar.to, sidecar.from, sidecar.keptInfo});
        }
    }
    log_.End(undo, back.Succeeded() ? operation::kDone : operation::kFailed);
    if (back.Succeeded()) {
        return {};
    }
    return {back.status == TransferStatus::Exists ? UndoStatus::Taken : UndoStatus::Failed,
            file.from};
}

RecoveredState TrashOperation::Recover(FileOperation& operation, const SystemCalls& calls,
                                       const ClaimHook& beforeClaiming) {
    Trash trash(calls);
    trash.BeforeClaiming(beforeClaiming);
    const RecoveredState state = RecoverFile(operation, operation.files.at(0), trash, calls);
    for (std::size_t i = 1; i < operation.files.size(); ++i) {
        OperationFile& sidecar = operation.files[i];
        // A sidecar follows its photo into the trash now, as the trash would have.
        if (RecoverFile(operation, sidecar, trash, calls) == RecoveredState::Before &&
            state == RecoveredState::After &&
            IsRecordedFile(sidecar.from, sidecar.identity, calls)) {
            Keep(sidecar, trash.Put(sidecar.from));
        }
    }
    return state;
}

RecoveredState TrashOperation::RecoverUndo(FileOperation& undo, const SystemCalls& calls,
                                           const ClaimHook& beforeClaiming) {
    Trash trash(calls);
    trash.BeforeClaiming(beforeClaiming);
    const OperationFile& photo = undo.files.at(0);
    // A restore cut short after it claimed the photo's place, the photo still in the trash.
    if (IsRecordedFile(photo.from, photo.identity, calls) && MayBeClaimOf(undo, photo.to)) {
        calls.unlink(photo.to.c_str());
    }
    const bool back = IsRecordedFile(photo.to, photo.identity, calls);
    for (const OperationFile& file : undo.files) {
        // A sidecar still in the trash follows its photo back now, into a free place only.
        if (back && &file != &photo && !NameExists(file.to) &&
            IsRecordedFile(file.from, file.identity, calls)) {
            trash.Restore({file.to, file.from, file.keptInfo});
        }
        if (IsRecordedFile(file.to, file.identity, calls)) {
            trash.ForgetCutShort(file.to);
        }
    }
    return back ? RecoveredState::After : RecoveredState::Before;
}

} // namespace pirela
