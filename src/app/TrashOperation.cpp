#include "app/TrashOperation.h"

#include "common/PathRules.h"
#include "journal/OperationLog.h"
#include "platform/DiskKind.h"
#include "platform/FileAccess.h"
#include "platform/Sidecars.h"
#include "trash/Trash.h"

#include <algorithm>

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
    std::vector<bool> went;
    return PutSeveral({path}, went);
}

TransferResult TrashOperation::PutSeveral(const std::vector<std::string>& paths,
                                          std::vector<bool>& went) const {
    went.assign(paths.size(), false);
    FileOperation operation;
    operation.kind = operation::kTrash;
    for (const std::string& path : paths) {
        operation.files.push_back({path, {}, FileIdentity::Of(path)});
        for (const std::string& sidecar : SidecarsOf(path)) {
            operation.files.push_back({sidecar, {}, FileIdentity::Of(sidecar)});
            operation.files.back().companion = true;
        }
    }
    if (!log_.Begin(operation)) {
        return {TransferStatus::NotRecorded, 0};
    }
    Trash trash(calls_);
    trash.BeforeClaiming(log_.ClaimRecorder(operation));
    TransferResult result = TransferResult::Success();
    std::size_t photo = 0;
    bool photoWent = false;
    for (OperationFile& file : operation.files) {
        if (file.companion) {
            // A sidecar follows its photo; it never stops the operation.
            file.moved = false;
            if (photoWent) {
                Keep(file, trash.Put(file.from));
            }
            continue;
        }
        photoWent = false;
        if (result.Succeeded()) {
            const TrashResult put = trash.Put(file.from);
            Keep(file, put);
            result = put.result;
            photoWent = put.Succeeded();
            went[photo] = photoWent;
        } else {
            file.moved = false;
        }
        ++photo;
    }
    const bool any = std::find(went.begin(), went.end(), true) != went.end();
    log_.End(operation, any ? operation::kDone : operation::kFailed);
    return result;
}

namespace {

// The photos of an operation with their sidecars: [first, end) in its files, the photo first.
struct PhotoGroup {
    std::size_t first = 0;
    std::size_t end = 0;
};

std::vector<PhotoGroup> PhotoGroupsOf(const FileOperation& operation) {
    std::vector<PhotoGroup> groups;
    for (std::size_t i = 0; i < operation.files.size(); ++i) {
        if (!operation.files[i].companion || groups.empty()) {
            groups.push_back({i, i + 1});
        } else {
            groups.back().end = i + 1;
        }
    }
    return groups;
}

} // namespace

UndoResult TrashOperation::Undo(const FileOperation& trashed) const {
    FileOperation undo;
    undo.kind = operation::kUndo;
    undo.undoes = trashed.id;
    undo.undoneKind = trashed.kind;
    for (const PhotoGroup& group : PhotoGroupsOf(trashed)) {
        const OperationFile& photo = trashed.files[group.first];
        if (!photo.moved) {
            continue; // it never went (the trash refused it and those after it)
        }
        if (!IsRecordedFile(photo.kept, photo.identity, calls_)) {
            return {UndoStatus::Changed, photo.kept};
        }
        if (NameExists(photo.from)) {
            return {UndoStatus::Taken, photo.from};
        }
        for (std::size_t i = group.first; i < group.end; ++i) {
            const OperationFile& each = trashed.files[i];
            // A sidecar that left the trash, or whose place is taken, stays where it is.
            if (i == group.first || (each.moved && CanComeBack(each, calls_))) {
                undo.files.push_back({each.kept, each.from, each.identity});
                undo.files.back().keptInfo = each.keptInfo;
                undo.files.back().companion = each.companion;
            }
        }
    }
    if (undo.files.empty()) {
        return {UndoStatus::Changed, trashed.files.empty() ? "" : trashed.files.front().kept};
    }
    if (!log_.Begin(undo)) {
        return {UndoStatus::NotRecorded, {}};
    }
    Trash trash(calls_);
    trash.BeforeClaiming(log_.ClaimRecorder(undo));
    TransferResult back = TransferResult::Success();
    const OperationFile* failed = nullptr;
    bool photoBack = false;
    for (const OperationFile& file : undo.files) {
        if (file.companion) {
            if (photoBack) {
                trash.Restore({file.to, file.from, file.keptInfo});
            }
            continue;
        }
        photoBack = false;
        if (failed == nullptr) {
            back = trash.Restore({file.to, file.from, file.keptInfo});
            photoBack = back.Succeeded();
            failed = photoBack ? nullptr : &file;
        }
    }
    log_.End(undo, failed == nullptr ? operation::kDone : operation::kFailed);
    if (failed == nullptr) {
        return {};
    }
    return {back.status == TransferStatus::Exists ? UndoStatus::Taken : UndoStatus::Failed,
            failed->to};
}

RecoveredState TrashOperation::Recover(FileOperation& operation, const SystemCalls& calls,
                                       const ClaimHook& beforeClaiming) {
    Trash trash(calls);
    trash.BeforeClaiming(beforeClaiming);
    RecoveredState whole = RecoveredState::Before;
    for (const PhotoGroup& group : PhotoGroupsOf(operation)) {
        const RecoveredState state =
            RecoverFile(operation, operation.files[group.first], trash, calls);
        for (std::size_t i = group.first + 1; i < group.end; ++i) {
            OperationFile& sidecar = operation.files[i];
            // A sidecar follows its photo into the trash now, as the trash would have.
            if (RecoverFile(operation, sidecar, trash, calls) == RecoveredState::Before &&
                state == RecoveredState::After &&
                IsRecordedFile(sidecar.from, sidecar.identity, calls)) {
                Keep(sidecar, trash.Put(sidecar.from));
            }
        }
        // The photos before the one cut short went; those after it never began.
        whole = state == RecoveredState::After ? state : whole;
    }
    return whole;
}

RecoveredState TrashOperation::RecoverUndo(FileOperation& undo, const SystemCalls& calls,
                                           const ClaimHook& beforeClaiming) {
    Trash trash(calls);
    trash.BeforeClaiming(beforeClaiming);
    RecoveredState whole = RecoveredState::Before;
    for (const PhotoGroup& group : PhotoGroupsOf(undo)) {
        const OperationFile& photo = undo.files[group.first];
        // A restore cut short after it claimed the photo's place, the photo still in the trash.
        if (IsRecordedFile(photo.from, photo.identity, calls) && MayBeClaimOf(undo, photo.to)) {
            calls.unlink(photo.to.c_str());
        }
        const bool back = IsRecordedFile(photo.to, photo.identity, calls);
        for (std::size_t i = group.first; i < group.end; ++i) {
            const OperationFile& file = undo.files[i];
            // A sidecar still in the trash follows its photo back now, into a free place only.
            if (back && i != group.first && !NameExists(file.to) &&
                IsRecordedFile(file.from, file.identity, calls)) {
                trash.Restore({file.to, file.from, file.keptInfo});
            }
            if (IsRecordedFile(file.to, file.identity, calls)) {
                trash.ForgetCutShort(file.to);
            }
        }
        whole = back ? RecoveredState::After : whole;
    }
    return whole;
}

} // namespace pirela
