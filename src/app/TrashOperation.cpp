#include "app/TrashOperation.h"

#include "journal/OperationLog.h"
#include "platform/FileAccess.h"
#include "trash/Trash.h"

namespace pirela {

TransferResult TrashOperation::Put(const std::string& path) const {
    FileOperation operation;
    operation.kind = operation::kTrash;
    operation.files.push_back({path, {}});
    operation.files[0].identity = FileIdentity::Of(path);
    if (!log_.Begin(operation)) {
        return {TransferStatus::NotRecorded, 0};
    }
    const TrashResult put = Trash(calls_).Put(path);
    operation.files[0].kept = put.file.trashedPath;
    operation.files[0].keptInfo = put.file.infoPath;
    log_.End(operation, put.Succeeded() ? operation::kDone : operation::kFailed);
    return put.result;
}

UndoResult TrashOperation::Undo(const FileOperation& trashed) const {
    const OperationFile& file = trashed.files.at(0);
    if (!SameFile(FileIdentity::Of(file.kept), file.identity)) {
        return {UndoStatus::Changed, file.kept};
    }
    if (NameExists(file.from)) {
        return {UndoStatus::Taken, file.from};
    }
    FileOperation undo;
    undo.kind = operation::kUndo;
    undo.undoes = trashed.id;
    undo.undoneKind = trashed.kind;
    undo.files.push_back({file.kept, file.from, file.identity});
    undo.files[0].keptInfo = file.keptInfo;
    if (!log_.Begin(undo)) {
        return {UndoStatus::NotRecorded, {}};
    }
    const TransferResult back = Trash(calls_).Restore({file.from, file.kept, file.keptInfo});
    log_.End(undo, back.Succeeded() ? operation::kDone : operation::kFailed);
    if (back.Succeeded()) {
        return {};
    }
    return {back.status == TransferStatus::Exists ? UndoStatus::Taken : UndoStatus::Failed,
            file.from};
}

RecoveredState TrashOperation::Recover(FileOperation& operation, const SystemCalls& calls) {
    OperationFile& file = operation.files.at(0);
    const Trash trash(calls);
    trash.ForgetCutShort(file.from);
    if (!file.identity || SameFile(FileIdentity::Of(file.from), file.identity)) {
        return RecoveredState::Before;
    }
    const std::optional<TrashedFile> found = trash.Find(file.from, *file.identity);
    if (!found) {
        return RecoveredState::Before; // neither here nor in the trash: nothing of ours to do
    }
    file.kept = found->trashedPath;
    file.keptInfo = found->infoPath;
    return RecoveredState::After;
}

RecoveredState TrashOperation::RecoverUndo(const FileOperation& undo, const SystemCalls& calls) {
    const OperationFile& file = undo.files.at(0);
    if (!SameFile(FileIdentity::Of(file.to), file.identity)) {
        return RecoveredState::Before;
    }
    Trash(calls).ForgetCutShort(file.to);
    return RecoveredState::After;
}

} // namespace pirela
