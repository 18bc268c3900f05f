#include "app/Recovery.h"

#include "app/TrashOperation.h"
#include "journal/JournalFile.h"
#include "journal/JournalOwner.h"
#include "journal/OperationLog.h"
#include "platform/FileAccess.h"
#include "rename/RenameUndo.h"
#include "send/SendUndo.h"
#include "send/TransferRecovery.h"
#include "trash/Trash.h"

#include <chrono>
#include <unordered_map>

namespace pirela {

namespace {

bool IsKnownKind(std::string_view kind) {
    return kind == operation::kCopy || kind == operation::kMove || kind == operation::kTrash ||
           kind == operation::kRename || kind == operation::kUndo;
}

std::int64_t Now() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// The open records, one list per operation, in the order the operations began.
std::vector<std::vector<JournalRecord>> ByOperation(std::vector<JournalRecord> records) {
    std::vector<std::vector<JournalRecord>> operations;
    std::unordered_map<std::string, std::size_t> index;
    for (JournalRecord& record : records) {
        const auto [at, added] = index.try_emplace(record.operation, operations.size());
        if (added) {
            operations.emplace_back();
        }
        operations[at->second].push_back(std::move(record));
    }
    return operations;
}

} // namespace

std::vector<RecoveredOperation> Recovery::Run(bool compact, const std::atomic<bool>* cancel) {
    std::vector<RecoveredOperation> recovered;
    JournalFile& journal = log_.Journal();
    std::vector<FileOperation> adopted;
    JournalScan scan;
    {
        const JournalFile::Lock lock(journal, cancel);
        cancelled_ = !lock.Held() && cancel != nullptr && cancel->load();
        if (!lock.Held()) {
            return recovered;
        }
        scan = journal.Scan();
        adopted = Adopt(scan);
    }
    for (FileOperation& operation : adopted) {
        const RecoveredState state = Recover(operation);
        if (state != RecoveredState::Unresolved) {
            log_.End(operation, state == RecoveredState::After ? operation::kDone
                                                               : operation::kRolledBack);
        }
        recovered.push_back({std::move(operation), state});
    }
    if (compact && CompactionDue(scan.operations, scan.oldest, Now())) {
        journal.Compact(Now());
    }
    return recovered;
}

std::vector<FileOperation> Recovery::Adopt(const JournalScan& scan) const {
    std::vector<FileOperation> adopted;
    for (const std::vector<JournalRecord>& records : ByOperation(scan.unfinished)) {
        std::optional<FileOperation> operation = DecodeOperation(records);
        if (!operation) {
            // Steps without a begin that can be read: nothing to go by. Closed, so that they do
            // not stay for ever.
            log_.Write(JournalRecord{records.front().operation, std::string(JournalRecord::kEnd),
                                     Now(), {{"outcome", std::string(operation::kFailed)}}});
            continue;
        }
        if (!IsKnownKind(operation->kind) || JournalOwner::IsAlive(log_.Folder(), operation->owner)) {
            continue; // another instance's, still running or recovering it (or of a later version)
        }
        if (log_.Adopt(*operation)) {
            adopted.push_back(std::move(*operation));
        }
    }
    return adopted;
}

bool Recovery::CompactionDue(std::size_t operations, std::int64_t oldest, std::int64_t now) {
    const JournalKeep keep;
    return operations > keep.most ||
           (operations > keep.latest && oldest < now - keep.recentSeconds);
}

RecoveredState Recovery::Recover(FileOperation& operation) const {
    if (operation.files.empty()) {
        return RecoveredState::Before;
    }
    const ClaimHook beforeClaiming = log_.ClaimRecorder(operation);
    if (operation.kind == operation::kTrash) {
        return TrashOperation::Recover(operation, calls_, beforeClaiming);
    }
    if (operation.kind == operation::kRename) {
        return RenameUndo::Recover(operation, calls_, beforeClaiming);
    }
    if (operation.kind == operation::kUndo) {
        return RecoverUndo(operation, beforeClaiming);
    }
    return RecoverSend(operation, beforeClaiming);
}

RecoveredState Recovery::RecoverSend(FileOperation& operation,
                                     const ClaimHook& beforeClaiming) const {
    const bool move = operation.kind == operation::kMove;
    Trash trash(calls_);
    trash.BeforeClaiming(beforeClaiming);
    RecoveredState state = RecoveredState::Before;
    for (std::size_t i = 0; i < operation.files.size(); ++i) {
        OperationFile& file = operation.files[i];
        const std::string temporary = TemporaryNameFor(operation.id, i);
        file.moved = RecoverTransferredFile(operation, i, move, calls_, beforeClaiming) ==
                     RecoveredState::After;
        if (file.companion && !file.moved && state == RecoveredState::After) {
            // as the send would have
            file.moved = FollowFile(file, temporary, move, calls_, beforeClaiming);
        }
        file.placed = file.moved ? FileIdentity::Of(file.to) : std::nullopt;
        if (file.standing) {
            // The file the send was to replace: where it went, and back when the send is not.
            if (file.kept.empty()) {
                if (const auto found = trash.Find(file.to, *file.standing)) {
                    file.kept = found->trashedPath;
                    file.keptInfo = found->infoPath;
                }
            }
            if (!file.moved && !file.kept.empty() &&
                trash.Restore({file.to, file.kept, file.keptInfo}).Succeeded()) {
                file.kept.clear();
                file.keptInfo.clear();
            }
            trash.ForgetCutShort(file.to, file.standing, ClaimedSince(operation));
        }
        if (file.moved && !file.companion) {
            state = RecoveredState::After;
        }
    }
    return state;
}

RecoveredState Recovery::RecoverUndo(FileOperation& operation,
                                     const ClaimHook& beforeClaiming) const {
    if (operation.undoneKind == operation::kTrash) {
        return TrashOperation::RecoverUndo(operation, calls_, beforeClaiming);
    }
    if (operation.undoneKind == operation::kRename) {
        return RenameUndo::Recover(operation, calls_, beforeClaiming);
    }
    return SendUndo::Recover(operation, calls_, beforeClaiming);
}

} // namespace pirela
