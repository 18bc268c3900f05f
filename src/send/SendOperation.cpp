#include "send/SendOperation.h"

#include "journal/OperationLog.h"
#include "platform/FileAccess.h"
#include "trash/Trash.h"

namespace pirela {

TransferResult SendOperation::Run(FileOperation& operation, Overwrite overwrite) {
    std::vector<Overwrite> overwrites;
    for (const OperationFile& file : operation.files) {
        if (!file.companion) {
            overwrites.push_back(overwrite);
        }
    }
    return Run(operation, overwrites);
}

TransferResult SendOperation::Run(FileOperation& operation,
                                  const std::vector<Overwrite>& overwrites) {
    for (OperationFile& file : operation.files) {
        file.identity = FileIdentity::Of(file.from);
        file.mode = PermissionBitsOf(file.from);
        file.standing = FileIdentity::Of(file.to);
    }
    if (!log_.Begin(operation, cancel_)) {
        const bool cancelled = cancel_ != nullptr && cancel_->load();
        return {cancelled ? TransferStatus::Cancelled : TransferStatus::NotRecorded, 0};
    }
    began_ = true;
    TransferResult result;
    std::size_t sent = 0;
    std::size_t photos = 0;
    Overwrite overwrite = Overwrite::Refuse;
    bool stopped = false;
    for (std::size_t i = 0; i < operation.files.size(); ++i) {
        OperationFile& file = operation.files[i];
        if (stopped) {
            file.moved = false;
            continue;
        }
        if (!file.companion) {
            overwrite = photos < overwrites.size() ? overwrites[photos] : Overwrite::Refuse;
            if (started_) {
                started_(photos);
            }
            ++photos;
        } else {
            // It follows the file that went, into a place that is free or that the user agreed
            // to give; else it stays, and the send is whole all the same.
            file.moved = (overwrite == Overwrite::Confirmed || !file.standing) &&
                         SendFile(operation, i, overwrite).Succeeded();
            continue;
        }
        result = SendFile(operation, i, overwrite);
        stopped = !result.Succeeded();
        file.moved = !stopped;
        sent += file.moved ? 1 : 0;
    }
    const std::string_view outcome = sent > 0 ? operation::kDone
                                     : result.status == TransferStatus::Cancelled
                                         ? operation::kCancelled
                                         : operation::kFailed;
    // An end that cannot be written leaves the operation open: the next start finds what it
    // did on the disk and closes it.
    log_.End(operation, outcome);
    if (unrecorded_) {
        return {TransferStatus::NotRecorded, 0};
    }
    return stopped ? result : TransferResult::Success();
}

TransferResult SendOperation::SendFile(FileOperation& operation, std::size_t index,
                                       Overwrite overwrite) {
    OperationFile& file = operation.files[index];
    FileTransfer transfer(calls_);
    transfer.OnProgress(progress_);
    transfer.CancelWhen(cancel_);
    transfer.UseTemporaryName(TemporaryNameFor(operation.id, index));
    transfer.BeforeClaiming(log_.ClaimRecorder(operation));
    transfer.BeforeReplacing(
        [&](const std::filesystem::path&) { return KeepReplaced(operation, index); });
    transfer.BeforeRemovingSource([&] {
        file.placed = FileIdentity::Of(file.to);
        JournalRecord placed = OperationRecord(operation, "placed");
        unrecorded_ = !log_.Write(AddFileFields(placed, index, file));
        return !unrecorded_;
    });
    const bool copy = operation.kind == operation::kCopy;
    const TransferResult result = copy ? transfer.Copy(file.from, file.to, overwrite)
                                       : transfer.Move(file.from, file.to, overwrite);
    if (result.Succeeded()) {
        file.placed = FileIdentity::Of(file.to);
    } else {
        file.placed.reset();
        PutBackReplaced(operation, file);
    }
    return result;
}

std::optional<Overwrite> SendOperation::KeepReplaced(FileOperation& operation,
                                                     std::size_t index) {
    OperationFile& file = operation.files[index];
    Trash trash(calls_);
    trash.BeforeClaiming(log_.ClaimRecorder(operation));
    const TrashResult kept = trash.Put(file.to);
    if (!kept.Succeeded()) {
        return Overwrite::Confirmed; // no trash takes it: replaced, as the user agreed
    }
    file.kept = kept.file.trashedPath;
    file.keptInfo = kept.file.infoPath;
    JournalRecord step = OperationRecord(operation, "kept");
    if (!log_.Write(AddFileFields(step, index, file))) {
        // Nothing is placed, whether the old file comes back or not: the user is told nothing
        // was sent, which must be true.
        unrecorded_ = true;
        PutBackReplaced(operation, file);
        return std::nullopt;
    }
    return Overwrite::Refuse;
}

// The send failed after the file it was to replace went to the trash: it comes back, and only
// when its name is free again (the new file was taken back).
void SendOperation::PutBackReplaced(FileOperation& operation, OperationFile& file) const {
    if (file.kept.empty()) {
        return;
    }
    Trash trash(calls_);
    trash.BeforeClaiming(log_.ClaimRecorder(operation));
    if (trash.Restore({file.to, file.kept, file.keptInfo}).Succeeded()) {
        file.kept.clear();
        file.keptInfo.clear();
    }
}

} // namespace pirela
