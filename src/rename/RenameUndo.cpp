#include "rename/RenameUndo.h"

#include "common/PathRules.h"
#include "journal/OperationLog.h"
#include "platform/FileAccess.h"
#include "rename/BatchRenamer.h"

#include <sys/stat.h>

#include <algorithm>
#include <unordered_set>

namespace pirela {

namespace {

using Place = BatchRenamer::Place;

// An empty regular file that is none of the run's files: a claim a rename made on a file
// system without no-replace renames or links, before it renamed a file over it.
bool IsClaim(const std::string& path, const std::unordered_set<std::uint64_t>& inodes) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
           status.st_size == 0 && inodes.count(status.st_ino) == 0;
}

// Where file i of the run stands: parked, under its old name or its new one; none when it is
// nowhere to be found. A second name the file has at its parking name (a link made, the old name
// not yet removed), or an empty claim there, goes.
std::optional<Place> PlaceOf(const FileOperation& operation, std::size_t i,
                             const std::unordered_set<std::uint64_t>& inodes,
                             const SystemCalls& calls) {
    const OperationFile& file = operation.files[i];
    const std::string parking = JoinPath(operation.folder, TemporaryNameFor(operation.id, i));
    const bool atOld = SameFile(FileIdentity::Of(file.from), file.identity);
    const bool atNew = SameFile(FileIdentity::Of(file.to), file.identity);
    const bool parked = SameFile(FileIdentity::Of(parking), file.identity);
    if ((parked && (atOld || atNew)) || IsClaim(parking, inodes)) {
        calls.unlink(parking.c_str());
    } else if (parked) {
        return Place::Parked;
    }
    if (atOld || atNew) {
        return atOld ? Place::Old : Place::New;
    }
    return std::nullopt;
}

} // namespace

UndoResult RenameUndo::Undo(const FileOperation& rename) const {
    FileOperation undo;
    undo.kind = operation::kUndo;
    undo.undoes = rename.id;
    undo.undoneKind = rename.kind;
    undo.folder = rename.folder;
    std::vector<BatchRenamer::Entry> entries;
    for (const OperationFile& file : rename.files) {
        if (!file.moved) {
            continue;
        }
        const std::optional<FileIdentity> now = FileIdentity::Of(file.to);
        if (!SameFile(now, file.identity)) {
            if (file.companion) {
                continue; // a sidecar changed since stays; it never holds its photo back
            }
            return {UndoStatus::Changed, file.to};
        }
        undo.files.push_back({file.to, file.from, now});
        undo.files.back().companion = file.companion;
        entries.push_back({std::string(FileNameOf(file.to)), std::string(FileNameOf(file.from))});
    }
    const BatchRenamer renamer(calls_);
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
    const BatchRenameCounts counts = renamer.Rename(rename.folder, entries, undo.id, true);
    const bool back = counts.failed == 0;
    const bool parked = std::any_of(entries.begin(), entries.end(), [](const auto& entry) {
        return entry.place == Place::Parked;
    });
    if (!parked) {
        log_.End(undo, back ? operation::kDone : operation::kFailed);
    }
    return back ? UndoResult{} : UndoResult{UndoStatus::Failed, rename.folder};
}

RecoveredState RenameUndo::Recover(FileOperation& operation, const SystemCalls& calls) {
    std::unordered_set<std::uint64_t> inodes;
    for (const OperationFile& file : operation.files) {
        if (file.identity) {
            inodes.insert(file.identity->inode);
        }
    }
    std::vector<BatchRenamer::Entry> entries;
    std::vector<std::size_t> found; // entry -> file
    for (std::size_t i = 0; i < operation.files.size(); ++i) {
        const OperationFile& file = operation.files[i];
        for (const std::string* name : {&file.from, &file.to}) {
            if (IsClaim(*name, inodes)) {
                calls.unlink(name->c_str());
            }
        }
        if (const std::optional<Place> place = PlaceOf(operation, i, inodes, calls)) {
            entries.push_back({std::string(FileNameOf(file.from)),
                               std::string(FileNameOf(file.to)), *place, true});
            found.push_back(i);
        }
    }
    const auto all = [&entries](Place place) {
        return std::all_of(entries.begin(), entries.end(),
                           [place](const auto& entry) { return entry.place == place; });
    };
    if (all(Place::New)) {
        return RecoveredState::After;
    }
    // The parking names were given by position: put back those found under theirs.
    std::vector<BatchRenamer::Entry> byPosition(operation.files.size());
    for (std::size_t j = 0; j < entries.size(); ++j) {
        byPosition[found[j]] = entries[j];
    }
    const BatchRenamer renamer(calls);
    renamer.PutBack(operation.folder, byPosition, operation.id);
    bool hidden = false;
    for (std::size_t i = 0; i < byPosition.size(); ++i) {
        operation.files[i].moved = byPosition[i].place == Place::New;
        hidden = hidden || byPosition[i].place == Place::Parked;
    }
    return hidden ? RecoveredState::Unresolved : RecoveredState::Before;
}

} // namespace pirela
