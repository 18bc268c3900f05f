#include "rename/RenameUndo.h"

#include "common/PathRules.h"
#include "journal/OperationLog.h"
#include "platform/FileAccess.h"
#include "platform/DiskKind.h"
#include "rename/BatchRenamer.h"
#include "rename/RenamePlaces.h"

#include <algorithm>

namespace pirela {

using Place = BatchRenamer::Place;

UndoResult RenameUndo::Undo(const FileOperation& rename) const {
    FileOperation undo;
    undo.kind = operation::kUndo;
    undo.undoes = rename.id;
    undo.undoneKind = rename.kind;
    undo.folder = rename.folder;
    std::vector<BatchRenamer::Entry> entries;
    const DiskKind disk = DiskKindOf(rename.folder, calls_);
    for (const OperationFile& file : rename.files) {
        if (!file.moved) {
            continue;
        }
        const std::optional<FileIdentity> now = FileIdentity::Of(file.to);
        if (!IsSameFileOn(disk, file.identity, now)) {
            if (file.companion) {
                continue; // a sidecar changed since stays; it never holds its photo back
            }
            return {UndoStatus::Changed, file.to};
        }
        undo.files.push_back({file.to, file.from, now});
        undo.files.back().companion = file.companion;
        entries.push_back({std::string(FileNameOf(file.to)), std::string(FileNameOf(file.from))});
    }
    BatchRenamer renamer(calls_);
    renamer.Check(rename.folder, entries);
    for (std::size_t i = entries.size(); i-- > 0;) {
        if (entries[i].valid) {
            continue;
        }
        if (!undo.files[i].companion) {
            return {UndoStatus::Taken, undo.files[i].to};
        }
        entries.erase(entries.begin() + std::ptrdiff_t(i)); // its old name is taken: it stays
        undo.files.erase(undo.files.begin() + std::ptrdiff_t(i));
    }
    if (!log_.Begin(undo)) {
        return {UndoStatus::NotRecorded, {}};
    }
    renamer.BeforeClaiming(log_.ClaimRecorder(undo));
    const BatchRenameCounts counts = renamer.Rename(rename.folder, entries, undo.id, true);
    renamer.Unhide(rename.folder, entries, undo.id);
    const bool back = counts.failed == 0;
    const bool parked = std::any_of(entries.begin(), entries.end(), [](const auto& entry) {
        return entry.place == Place::Parked;
    });
    if (!parked) {
        log_.End(undo, back ? operation::kDone : operation::kFailed);
    }
    return back ? UndoResult{} : UndoResult{UndoStatus::Failed, rename.folder};
}

RecoveredState RenameUndo::Recover(FileOperation& operation, const SystemCalls& calls,
                                   const ClaimHook& beforeClaiming) {
    RenamePlaces places(operation, calls);
    for (const std::string& name : places.UnheldNames()) {
        const std::string path = JoinPath(operation.folder, name);
        if (MayBeClaimOf(operation, path)) {
            calls.unlink(path.c_str());
        }
    }
    std::vector<BatchRenamer::Entry> entries(operation.files.size());
    bool found = false;
    bool allNew = true;
    for (std::size_t i = 0; i < operation.files.size(); ++i) {
        const OperationFile& file = operation.files[i];
        entries[i] = {std::string(FileNameOf(file.from)), std::string(FileNameOf(file.to))};
        if (const std::optional<Place>& place = places.Of(i)) {
            entries[i].place = *place;
            found = true;
            allNew = allNew && *place == Place::New;
        }
    }
    if (!found) {
        return RecoveredState::Before; // nothing of the run is left to put anywhere
    }
    if (!allNew) {
        BatchRenamer renamer(calls);
        renamer.BeforeClaiming(beforeClaiming);
        renamer.PutBack(operation.folder, entries, operation.id);
        // Those whose old names were taken meanwhile are given visible ones.
        std::vector<std::size_t> stuck;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (entries[i].place == Place::Parked) {
                stuck.push_back(i);
            }
        }
        renamer.Unhide(operation.folder, entries, operation.id);
        renamer.SweepClaims(operation.folder, entries, operation.id);
        for (const std::size_t i : stuck) {
            const BatchRenamer::Entry& entry = entries[i];
            if (entry.place != Place::Parked) {
                operation.leftInDoubt.push_back(JoinPath(
                    operation.folder, entry.place == Place::Aside ? entry.asideName
                                      : entry.place == Place::New ? entry.newName
                                                                  : entry.oldName));
            }
        }
    }
    bool hidden = false;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        operation.files[i].moved = entries[i].place == Place::New;
        hidden = hidden || entries[i].place == Place::Parked;
    }
    if (hidden) {
        return RecoveredState::Unresolved;
    }
    return allNew ? RecoveredState::After : RecoveredState::Before;
}

} // namespace pirela
