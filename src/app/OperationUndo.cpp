#include "app/OperationUndo.h"

#include "app/OperationTexts.h"
#include "app/TrashOperation.h"
#include "host/DocumentHost.h"
#include "host/Prompter.h"
#include "journal/OperationLog.h"
#include "rename/RenameUndo.h"
#include "res/JournalMessages.h"
#include "res/Messages.h"
#include "send/SendUndo.h"

namespace pirela {

OperationUndo::Outcome OperationUndo::Run(const FileOperation& operation) const {
    if (operation.files.empty() ||
        prompter_.ShowMessage(UndoQuestion(operation), MessageIcon::Question,
                              MessageButtons::YesNo) != MessageAnswer::Yes) {
        return Outcome::Declined;
    }
    const UndoResult result = RunAsFileWork(operation);
    if (result.status == UndoStatus::Done) {
        return Outcome::Done;
    }
    if (result.status == UndoStatus::Cancelled) {
        host_.ShowStatusMessage(res::TransferCancelledText(res::kSendWordMove));
        return Outcome::Cancelled; // the file stays where it was sent, and can still be taken back
    }
    prompter_.ShowMessage(UndoRefusal(operation, result, log_.Journal().Path().string()),
                          MessageIcon::Warning, MessageButtons::Ok);
    if (result.status == UndoStatus::NotRecorded) {
        return Outcome::Refused;
    }
    if (operation.kind == operation::kMove ||
        prompter_.ShowMessage(res::kSkipUndoQuestion, MessageIcon::Question,
                              MessageButtons::YesNo) == MessageAnswer::Yes) {
        AskTheDisk(host_, [&] {
            PassOver(operation);
            return true;
        });
    }
    return Outcome::Refused;
}

// A move back from another disk shows its progress in the status bar and may be cancelled.
UndoResult OperationUndo::RunAsFileWork(const FileOperation& operation) const {
    const bool move = operation.kind == operation::kMove;
    const WaitCursor wait(host_);
    if (move) {
        host_.ShowStatusMessage(res::kStatusMoving);
    }
    std::atomic<bool> cancel{false};
    UndoResult result;
    host_.RunFileWork([&] { result = Undo(operation, cancel); }, cancel);
    if (move) {
        host_.RestoreStatusMessage();
    }
    return result;
}

UndoResult OperationUndo::Undo(const FileOperation& operation,
                               const std::atomic<bool>& cancel) const {
    if (operation.kind == operation::kTrash) {
        return TrashOperation(log_, calls_).Undo(operation);
    }
    if (operation.kind == operation::kRename) {
        return RenameUndo(log_, calls_).Undo(operation);
    }
    SendUndo undo(log_, calls_);
    undo.OnProgress([this](std::uint64_t done, std::uint64_t total) {
        const int percent = total == 0 ? 100 : static_cast<int>(done * 100 / total);
        host_.ShowProgress(res::TransferProgressText(res::kStatusMoving, percent));
    });
    undo.CancelWhen(&cancel);
    return undo.Undo(operation);
}

void OperationUndo::PassOver(const FileOperation& operation) const {
    FileOperation skip;
    skip.kind = operation::kUndo;
    skip.undoes = operation.id;
    skip.undoneKind = operation.kind;
    if (log_.Begin(skip)) {
        log_.End(skip, operation::kSkipped);
    }
}

} // namespace pirela
