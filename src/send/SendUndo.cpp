#include "send/SendUndo.h"

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
    if (IsOurCopy(record) && FileTransfer(calls_).Remove(record.destinationPath).Succeeded()) {
        return true;
    }
    prompter_.ShowMessage(res::CannotDeleteMessage(record.destinationPath), MessageIcon::Warning,
                          MessageButtons::Ok);
    return false;
}

bool SendUndo::MoveBack(const SendRecord& record) const {
    if (FileTransfer(calls_)
            .Move(record.destinationPath, record.sourcePath, Overwrite::Refuse)
            .Succeeded()) {
        return true;
    }
    prompter_.ShowMessage(res::CannotMoveBackMessage(record.destinationPath, record.sourcePath),
                          MessageIcon::Warning, MessageButtons::Ok);
    return false;
}

// The copy may have been edited or replaced since the send, and the original may have gone
// since: then the file at the destination is the user's only one, and it stays.
bool SendUndo::IsOurCopy(const SendRecord& record) const {
    return record.sent && NameExists(record.sourcePath) &&
           FileIdentity::Of(record.destinationPath) == record.sent;
}

} // namespace pirela
