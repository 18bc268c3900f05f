#include "send/SendUndo.h"

#include "host/FileWork.h"
#include "host/Prompter.h"
#include "platform/FileAccess.h"
#include "platform/FileTransfer.h"
#include "res/Messages.h"

namespace pirela {

bool SendUndo::Confirm(const SendRecord& record) const {
    const std::string text =
        record.mode == 0 ? res::UndoMoveQuestion(record.sourcePath, record.destinationPath)
                         : res::UndoCopyQuestion(record.sourcePath, record.destinationPath);
    return prompter_.ShowMessage(text, MessageIcon::Question, MessageButtons::YesNo) ==
           MessageAnswer::Yes;
}

bool SendUndo::DeleteCopy(const SendRecord& record) const {
    // Unlinking ignores the file's own permission bits, so a read-only copy goes too and its
    // mode is never touched.
    const bool removed = AskTheDisk(fileWork_, [&] {
        return IsOurCopy(record) && FileTransfer(calls_).Remove(record.destinationPath).Succeeded();
    });
    if (removed) {
        return true;
    }
    prompter_.ShowMessage(res::CannotDeleteMessage(record.destinationPath), MessageIcon::Warning,
                          MessageButtons::Ok);
    return false;
}

SendUndo::MoveBackResult SendUndo::MoveBack(const SendRecord& record) const {
    if (!IsTheMovedFile(record)) {
        prompter_.ShowMessage(
            res::NotTheMovedFileMessage(record.destinationPath, record.sourcePath),
            MessageIcon::Warning, MessageButtons::Ok);
        return MoveBackResult::Refused;
    }
    FileTransfer transfer(calls_);
    if (record.sourceMode) {
        transfer.SetCopyMode(*record.sourceMode);
    }
    transfer.OnProgress([this](std::uint64_t done, std::uint64_t total) {
        const int percent = total == 0 ? 100 : static_cast<int>(done * 100 / total);
        fileWork_.ShowProgress(res::TransferProgressText(res::kStatusMoving, percent));
    });
    std::atomic<bool> cancel{false};
    transfer.CancelWhen(&cancel);
    TransferResult result;
    fileWork_.RunFileWork(
        [&] { result = transfer.Move(record.destinationPath, record.sourcePath, Overwrite::Refuse); },
        cancel);
    if (result.Succeeded()) {
        return MoveBackResult::MovedBack;
    }
    if (result.status == TransferStatus::Cancelled) {
        return MoveBackResult::Cancelled;
    }
    prompter_.ShowMessage(res::CannotMoveBackMessage(record.destinationPath, record.sourcePath),
                          MessageIcon::Warning, MessageButtons::Ok);
    return MoveBackResult::Refused;
}

// The copy may have been edited or replaced since the send, and the original may have gone
// since: then the file at the destination is the user's only one, and it stays. A change that
// left size and modification time but not the change time (a new mode, or an edit in place
// that set the time back) is told apart by the content, which must still be the original's.
bool SendUndo::IsOurCopy(const SendRecord& record) const {
    const std::optional<FileIdentity> now = FileIdentity::Of(record.destinationPath);
    if (!record.sent || !now || !NameExists(record.sourcePath)) {
        return false;
    }
    FileIdentity unchanged = *now;
    unchanged.changedSeconds = record.sent->changedSeconds;
    unchanged.changedNanoseconds = record.sent->changedNanoseconds;
    return *now == *record.sent || (unchanged == *record.sent &&
                                    HaveSameContent(record.destinationPath, record.sourcePath));
}

// A file that was moved stays the same file (device and inode) until it is replaced: an edit
// since does not stop it from going back, another file put in its place does. When nothing is
// there any more, the move back itself says so.
bool SendUndo::IsTheMovedFile(const SendRecord& record) const {
    const std::optional<FileIdentity> now = FileIdentity::Of(record.destinationPath);
    return !now ||
           (record.sent && now->device == record.sent->device && now->inode == record.sent->inode);
}

} // namespace pirela
