#include "send/TransferRecovery.h"

#include "common/PathRules.h"
#include "platform/FileAccess.h"
#include "platform/FileTransfer.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace pirela {

namespace {

namespace fs = std::filesystem;

// The empty file a rename over a claim makes first where the file system has neither
// no-replace renames nor links: neither the file itself nor what stood there before.
bool IsClaim(const std::string& path, const OperationFile& file) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode) || status.st_size != 0) {
        return false;
    }
    const FileIdentity claim = FileIdentity::FromStatus(status);
    return !SameFile(claim, file.standing) && !SameFile(claim, file.identity);
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
// holds our empty claim); any other temporary goes. True when the copy is in place.
bool PlaceTemporary(const fs::path& temporary, const OperationFile& file, bool sourceHere,
                    const SystemCalls& calls) {
    const bool claimed = IsClaim(file.to, file);
    const bool free = claimed || !NameExists(file.to);
    if (sourceHere && free && HaveSameContent(temporary, file.from) &&
        FinishTemporary(temporary, file, calls)) {
        const bool placed = claimed ? calls.rename(temporary.c_str(), file.to.c_str()) == 0
                                    : FileTransfer(calls).Rename(temporary, file.to).Succeeded();
        if (placed) {
            return true;
        }
    }
    calls.unlink(temporary.c_str());
    if (IsClaim(file.to, file)) {
        calls.unlink(file.to.c_str());
    }
    return false;
}

// No temporary is left: the copy is in place, or there is none.
RecoveredState SettleCopy(const OperationFile& file, bool move, bool sourceHere,
                          const SystemCalls& calls) {
    const std::optional<FileIdentity> target = FileIdentity::Of(file.to);
    if (!target || SameFile(target, file.standing)) {
        return RecoveredState::Before;
    }
    const bool known = SameFile(target, file.placed);
    if (!sourceHere) {
        // A move whose source went: its copy is the file now, if it is the copy at all.
        const bool whole = file.identity && target->size == file.identity->size;
        return move && (known || whole) ? RecoveredState::After : RecoveredState::Before;
    }
    if (!HaveSameContent(file.to, file.from)) {
        if (move && known) {
            calls.unlink(file.to.c_str()); // our copy, but not of these bytes: it goes
        }
        return RecoveredState::Before;
    }
    if (!move) {
        return RecoveredState::After;
    }
    if (calls.unlink(file.from.c_str()) == 0) {
        return RecoveredState::After;
    }
    calls.unlink(file.to.c_str()); // the source cannot go: one file, not two
    return RecoveredState::Before;
}

} // namespace

RecoveredState RecoverTransferredFile(const OperationFile& file, std::string_view temporaryName,
                                      bool move, const SystemCalls& calls) {
    const fs::path temporary = fs::path(FolderOf(file.to)) / std::string(temporaryName);
    const bool sourceHere = SameFile(FileIdentity::Of(file.from), file.identity);
    // A move on one disk: the file itself went, or did not.
    if (move && SameFile(FileIdentity::Of(file.to), file.identity)) {
        if (sourceHere) {
            calls.unlink(file.from.c_str()); // a link made, its old name not yet removed
        }
        return RecoveredState::After;
    }
    const std::optional<FileIdentity> parked = FileIdentity::Of(temporary);
    if (!parked) {
        if (move && sourceHere && IsClaim(file.to, file)) {
            calls.unlink(file.to.c_str());
            return RecoveredState::Before;
        }
    } else if (SameFile(FileIdentity::Of(file.to), parked)) {
        calls.unlink(temporary.c_str()); // linked into place, the temporary name not yet gone
    } else if (!PlaceTemporary(temporary, file, sourceHere, calls)) {
        return RecoveredState::Before;
    }
    return SettleCopy(file, move, sourceHere, calls);
}

bool FollowFile(const OperationFile& sidecar, std::string_view temporaryName, bool move,
                const SystemCalls& calls) {
    if (!SameFile(FileIdentity::Of(sidecar.from), sidecar.identity) || NameExists(sidecar.to)) {
        return false;
    }
    FileTransfer transfer(calls);
    transfer.UseTemporaryName(std::string(temporaryName));
    return (move ? transfer.Move(sidecar.from, sidecar.to, Overwrite::Refuse)
                 : transfer.Copy(sidecar.from, sidecar.to, Overwrite::Refuse))
        .Succeeded();
}

} // namespace pirela
