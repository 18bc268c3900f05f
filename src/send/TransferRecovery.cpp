#include "send/TransferRecovery.h"

#include "common/PathRules.h"
#include "platform/DiskKind.h"
#include "platform/FileAccess.h"
#include "trash/Trash.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace pirela {

namespace {

namespace fs = std::filesystem;

std::string FolderOrDot(const std::string& path) {
    const std::string folder = FolderOf(path);
    return folder.empty() ? std::string(".") : folder;
}

// One file of the operation as recovery sees it: the disks at both ends, and whether the file is
// still at its source.
struct Transfer {
    FileOperation& operation;
    const OperationFile& file;
    bool move;
    const SystemCalls& calls;
    const ClaimHook& beforeClaiming;
    DiskKind fromDisk;
    DiskKind toDisk;
    bool sourceHere;
};

// Two names of one file now (both read in this mount, so the numbers hold on any disk).
bool OneFileNow(const std::string& a, const std::string& b) {
    return SameFile(FileIdentity::Of(a), FileIdentity::Of(b));
}

bool OnOneDisk(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return ::stat(FolderOrDot(a).c_str(), &first) == 0 &&
           ::stat(FolderOrDot(b).c_str(), &second) == 0 && first.st_dev == second.st_dev;
}

// The empty file a rename over a claim makes first where the file system has neither
// no-replace renames nor links, when the operation recorded claiming: neither the file itself
// nor what stood there before.
bool IsClaim(const Transfer& t, const std::string& path) {
    if (!MayBeClaimOf(t.operation, path)) {
        return false;
    }
    const std::optional<FileIdentity> now = FileIdentity::Of(path);
    return !IsSameFileOn(t.toDisk, t.file.standing, now) &&
           !IsSameFileOn(t.toDisk, t.file.identity, now);
}

// A file of the operation's that is not wanted where it is but may hold what the user has no
// other copy of: it goes to the trash, where the user can still take it back.
void TrashInDoubt(const Transfer& t, const std::string& path) {
    Trash trash(t.calls);
    trash.BeforeClaiming(t.beforeClaiming);
    const TrashResult put = trash.Put(path);
    if (put.Succeeded()) {
        t.operation.trashedInDoubt.push_back(put.file.trashedPath);
    } else {
        t.operation.leftInDoubt.push_back(path);
    }
}

// The temporary as the copy would have finished it: the source's mode and times, on the disk.
bool FinishTemporary(const fs::path& temporary, const OperationFile& file,
                     const SystemCalls& calls) {
    struct stat source {};
    if (::stat(file.from.c_str(), &source) != 0) {
        return false;
    }
    const int fd = calls.open(temporary.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW, 0);
    if (fd < 0) {
        return false;
    }
    calls.fchmod(fd, file.mode.value_or(source.st_mode) & 0777);
    const struct timespec times[2] = {source.st_atim, source.st_mtim};
    calls.futimens(fd, times);
    const bool flushed = calls.fsync(fd) == 0;
    return calls.close(fd) == 0 && flushed;
}

// A whole copy under its temporary name takes the destination's name while that is free (or
// holds the operation's claim). A temporary that cannot be placed goes, unless the source is
// gone since: then it may be the only copy, and it goes to the trash. True when it is in place.
bool PlaceTemporary(const Transfer& t, const fs::path& temporary) {
    const OperationFile& file = t.file;
    const bool claimed = IsClaim(t, file.to);
    const bool free = claimed || !NameExists(file.to);
    if (t.sourceHere && free && HaveSameContent(temporary, file.from) &&
        FinishTemporary(temporary, file, t.calls)) {
        FileTransfer transfer(t.calls);
        transfer.BeforeClaiming(t.beforeClaiming);
        const bool placed = claimed ? t.calls.rename(temporary.c_str(), file.to.c_str()) == 0
                                    : transfer.Rename(temporary, file.to).Succeeded();
        if (placed) {
            return true;
        }
    }
    const std::optional<FileIdentity> copy = FileIdentity::Of(temporary);
    if (!t.sourceHere && !NameExists(file.from) && file.identity && copy &&
        copy->size == file.identity->size) {
        TrashInDoubt(t, temporary);
    } else {
        t.calls.unlink(temporary.c_str());
    }
    if (IsClaim(t, file.to)) {
        t.calls.unlink(file.to.c_str());
    }
    return false;
}

// The source could not be found as it was: whatever stands at either end stays.
RecoveredState SettleWithoutSource(const Transfer& t, const FileIdentity& target) {
    const OperationFile& file = t.file;
    const bool ours = file.placed && IsUnchangedOn(t.toDisk, file.placed, target);
    const bool whole = file.identity && target.size == file.identity->size;
    // What stands at the source now may be the file a move back brought out of the trash
    // there; anything else is the source changed since, or the user's.
    const bool restored = !file.kept.empty() && !NameExists(file.kept);
    if ((!NameExists(file.from) || restored) && (ours || whole)) {
        return RecoveredState::After; // a move's source went: its copy is the file now
    }
    t.operation.leftInDoubt.push_back(file.to);
    return RecoveredState::Before;
}

// No temporary is left: the copy is in place, or there is none.
RecoveredState SettleCopy(const Transfer& t) {
    const OperationFile& file = t.file;
    const std::optional<FileIdentity> target = FileIdentity::Of(file.to);
    if (!target || IsSameFileOn(t.toDisk, file.standing, target)) {
        return RecoveredState::Before;
    }
    if (!t.sourceHere) {
        return SettleWithoutSource(t, *target);
    }
    if (!HaveSameContent(file.to, file.from)) {
        // What stands there is not the source's bytes: the operation's own copy, unchanged,
        // whose source was edited since (kept in the trash), or the user's file (left).
        if (t.move && file.placed && IsUnchangedOn(t.toDisk, file.placed, target)) {
            TrashInDoubt(t, file.to);
        } else {
            t.operation.leftInDoubt.push_back(file.to);
        }
        return RecoveredState::Before;
    }
    if (!t.move || t.calls.unlink(file.from.c_str()) == 0) {
        return RecoveredState::After;
    }
    // The source cannot go: one file, not two; the copy holds the same bytes.
    t.calls.unlink(file.to.c_str());
    return RecoveredState::Before;
}

// A move on one disk that has moved the file itself: a second name of it, left by a link made
// before the old name went, goes; so does a claim beside a file that never moved.
std::optional<RecoveredState> SettleRename(const Transfer& t) {
    const OperationFile& file = t.file;
    if (!t.move || !OnOneDisk(file.from, file.to) ||
        !IsSameFileOn(t.toDisk, file.identity, FileIdentity::Of(file.to))) {
        return std::nullopt;
    }
    if (!t.sourceHere) {
        return RecoveredState::After;
    }
    if (OneFileNow(file.from, file.to)) {
        t.calls.unlink(file.from.c_str());
        return RecoveredState::After;
    }
    if (IsClaim(t, file.to)) {
        t.calls.unlink(file.to.c_str());
    } else {
        t.operation.leftInDoubt.push_back(file.to);
    }
    return RecoveredState::Before;
}

} // namespace

RecoveredState RecoverTransferredFile(FileOperation& operation, std::size_t index, bool move,
                                      const SystemCalls& calls, const ClaimHook& beforeClaiming) {
    const OperationFile& file = operation.files.at(index);
    const DiskKind fromDisk = DiskKindOf(FolderOrDot(file.from), calls);
    const Transfer t{operation,
                     file,
                     move,
                     calls,
                     beforeClaiming,
                     fromDisk,
                     DiskKindOf(FolderOrDot(file.to), calls),
                     IsSameFileOn(fromDisk, file.identity, FileIdentity::Of(file.from))};
    if (const std::optional<RecoveredState> renamed = SettleRename(t)) {
        return *renamed;
    }
    const fs::path temporary =
        fs::path(FolderOrDot(file.to)) / TemporaryNameFor(operation.id, index);
    const std::optional<FileIdentity> parked = FileIdentity::Of(temporary);
    if (!parked) {
        if (move && t.sourceHere && IsClaim(t, file.to)) {
            calls.unlink(file.to.c_str());
            return RecoveredState::Before;
        }
    } else if (OneFileNow(file.to, temporary)) {
        calls.unlink(temporary.c_str()); // linked into place, the temporary name not yet gone
    } else if (!PlaceTemporary(t, temporary)) {
        return RecoveredState::Before;
    }
    return SettleCopy(t);
}

bool FollowFile(const OperationFile& sidecar, std::string_view temporaryName, bool move,
                const SystemCalls& calls, const ClaimHook& beforeClaiming) {
    const DiskKind disk = DiskKindOf(FolderOrDot(sidecar.from), calls);
    if (!IsSameFileOn(disk, sidecar.identity, FileIdentity::Of(sidecar.from)) ||
        NameExists(sidecar.to)) {
        return false;
    }
    FileTransfer transfer(calls);
    transfer.UseTemporaryName(std::string(temporaryName));
    transfer.BeforeClaiming(beforeClaiming);
    return (move ? transfer.Move(sidecar.from, sidecar.to, Overwrite::Refuse)
                 : transfer.Copy(sidecar.from, sidecar.to, Overwrite::Refuse))
        .Succeeded();
}

} // namespace pirela
