#include "app/TrashOperation.h"

#include "journal/OperationLog.h"
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

// Whether the file is still in the trash and its place free.
bool CanComeBack(const OperationFile& file) {
    return !file.kept.empty() && SameFile(FileIdentity::Of(file.kept), file.identity) &&
           !NameExists(file.from);
}

// One file cut short on its way to the trash: there (found by its identity, After) or still at
// its place (Before); a record left without its file goes.
RecoveredState RecoverFile(OperationFile& file, const Trash& trash) {
    trash.ForgetCutShort(file.from);
    if (!file.identity || SameFile(FileIdentity::Of(file.from), file.identity)) {
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
    const Trash trash(calls_);
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
    for (const OperationFile& each : trashed.files) {
        // A sidecar that left the trash, or whose place is taken, stays where it is.
        if (&each == &file || (each.moved && CanComeBack(each))) {
            undo.files.push_back({each.kept, each.from, each.identity});
            undo.files.back().keptInfo = each.keptInfo;
            undo.files.back().companion = each.companion;
        }
    }
    if (!log_.Begin(undo)) {
        return {UndoStatus::NotRecorded, {}};
    }
    const Trash trash(calls_);
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

RecoveredState TrashOperation::Recover(FileOperation& operation, const SystemCalls& calls) {
    const Trash trash(calls);
    const RecoveredState state = RecoverFile(operation.files.at(0), trash);
    for (std::size_t i = 1; i < operation.files.size(); ++i) {
        OperationFile& sidecar = operation.files[i];
        // A sidecar follows its photo into the trash now, as the trash would have.
        if (RecoverFile(sidecar, trash) == RecoveredState::Before &&
            state == RecoveredState::After &&
            SameFile(FileIdentity::Of(sidecar.from), sidecar.identity)) {
            Keep(sidecar, trash.Put(sidecar.from));
        }
    }
    return state;
}

RecoveredState TrashOperation::RecoverUndo(const FileOperation& undo, const SystemCalls& calls) {
    const Trash trash(calls);
    const bool back = SameFile(FileIdentity::Of(undo.files.at(0).to), undo.files[0].identity);
    for (const OperationFile& file : undo.files) {
        // A sidecar still in the trash follows its photo back now, into a free place only.
        if (back && &file != &undo.files[0] && !NameExists(file.to) &&
            SameFile(FileIdentity::Of(file.from), file.identity)) {
            trash.Restore({file.to, file.from, file.keptInfo});
        }
        if (SameFile(FileIdentity::Of(file.to), file.identity)) {
            trash.ForgetCutShort(file.to);
        }
    }
    return back ? RecoveredState::After : RecoveredState::Before;
}

} // namespace pirela
