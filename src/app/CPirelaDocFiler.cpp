#include "app/CPirelaDoc.h"

#include "app/OperationTexts.h"
#include "app/Recovery.h"
#include "app/StartupRecovery.h"
#include "app/TrashOperation.h"
#include "common/AsciiText.h"
#include "common/PathRules.h"
#include "host/DocumentHost.h"
#include "host/Prompter.h"
#include "res/JournalMessages.h"
#include "res/Messages.h"
#include "res/StringTable.h"
#include "res/ResourceIds.h"

#include <algorithm>
#include <utility>

// The document's filer half: sending the current image, taking operations back, the trash, and
// what each does to the open folder's list.
namespace pirela {

void CPirelaDoc::RemoveCurrentEntry() {
    if (host_.HasFileListWindow()) {
        host_.DeleteFileListRow(list_.Current());
    }
    list_.RemoveFileName(list_.Current());
    if (list_.Current() >= list_.Count()) {
        PrevImage();
    }
}

// --- Sending ---

void CPirelaDoc::SendToFolder(int n) {
    if (!list_.HasCurrentImage() || n < 0 || n >= kDestinationCount) {
        return;
    }
    std::string& destination = settings_.destinationFolders[static_cast<std::size_t>(n)];
    if (destination.empty()) {
        const auto chosen =
            prompter_.AskFolder(settings_.lastOpenOtherFolder, res::kSendFolderTitle);
        if (!chosen) {
            return;
        }
        // The settings file holds a value on one line; such a folder could not be kept.
        if (HasLineBreak(*chosen)) {
            prompter_.ShowMessage(res::LineBreakInFolderMessage(*chosen), MessageIcon::Warning,
                                  MessageButtons::Ok);
            return;
        }
        destination = *chosen;
        settings_.lastOpenOtherFolder = *chosen;
        host_.RefreshSendBar();
    }
    SendImageToFolder(n, {});
}

void CPirelaDoc::SendToOtherFolder() {
    if (!list_.HasCurrentImage()) {
        return;
    }
    const auto chosen = prompter_.AskFolder(settings_.lastOpenOtherFolder, res::kSendFolderTitle);
    if (!chosen) {
        return;
    }
    SendImageToFolder(0, *chosen);
    settings_.lastOpenOtherFolder = *chosen;
}

bool CPirelaDoc::SendImageToFolder(int n, const std::string& otherFolder) {
    if (!list_.HasCurrentImage() || (otherFolder.empty() && (n < 0 || n >= kDestinationCount))) {
        return false;
    }
    if (const std::vector<int> rows = SeveralChosen(); !rows.empty()) {
        return SendSeveralToFolder(rows, n, otherFolder);
    }
    if (!AwaitRecovery()) {
        return false;
    }
    AwaitListing(); // a move takes the entry out of the list
    SendRequest request;
    request.source = list_.CurrentImagePath();
    request.folder = otherFolder.empty() ? settings_.destinationFolders[static_cast<std::size_t>(n)]
                                         : otherFolder;
    request.size = image_.Info().size;
    request.copy = options_.sendType != 0;
    request.ask = options_.ask != 0;
    request.rename = options_.changeFileName != 0;
    std::optional<SendPlan> plan = sendEngine_.Prepare(request);
    const std::string sentName(list_.CurrentName());
    const auto afterMove = [this, &sentName] {
        // The entry that goes is the file moved, even if another became current meanwhile.
        if (const int row = list_.FindFileName(sentName);
            row >= 0 && list_.CurrentName() != sentName) {
            MoveTo(row);
        }
        ShowAfterRemoval();
    };
    if (!plan || !sendEngine_.Transfer(*plan, afterMove)) {
        return false;
    }
    const std::string destination(LastPartOf(request.folder));
    if (plan->copy) {
        MarkCopied(request.source, destination);
    }
    RefreshAfterFileChange();
    TellOutcome(res::SentOutcome(FileNameOf(request.source), destination,
                                 FileNameOf(plan->target.path), plan->copy));
    return true;
}

std::vector<int> CPirelaDoc::SeveralChosen() const {
    std::vector<int> rows = chosenRows_ ? chosenRows_() : std::vector<int>();
    std::erase_if(rows, [this](int row) { return row < 0 || row >= list_.Count(); });
    return rows.size() > 1 ? rows : std::vector<int>();
}

bool CPirelaDoc::SendSeveralToFolder(const std::vector<int>& rows, int n,
                                     const std::string& otherFolder) {
    if (!AwaitRecovery()) {
        return false;
    }
    AwaitListing();
    SeveralSendRequest request;
    for (const int row : rows) {
        request.sources.push_back(list_.ImagePath(row));
        const std::optional<FileIdentity> file = FileIdentity::Of(request.sources.back());
        request.size += file ? file->size : 0;
    }
    request.folder = otherFolder.empty() ? settings_.destinationFolders[static_cast<std::size_t>(n)]
                                         : otherFolder;
    request.copy = options_.sendType != 0;
    request.ask = options_.ask != 0;
    request.rename = options_.changeFileName != 0;
    const std::optional<std::vector<SendPlan>> plans = sendEngine_.PrepareSeveral(request);
    if (!plans) {
        return false;
    }
    const std::vector<bool> sent = sendEngine_.TransferSeveral(*plans);
    std::vector<std::string> names;
    for (std::size_t i = 0; i < sent.size(); ++i) {
        if (sent[i]) {
            names.emplace_back(list_.Name(rows[i]));
        }
    }
    if (names.empty()) {
        return false;
    }
    const std::string destination(LastPartOf(request.folder));
    if (request.copy) {
        for (std::size_t i = 0; i < sent.size(); ++i) {
            if (sent[i]) {
                MarkCopied(request.sources[i], destination);
            }
        }
        host_.UpdateAllViews(); // the grid's marks
    } else {
        RemoveEntries(names);
    }
    RefreshAfterFileChange();
    TellOutcome(res::SentManyOutcome(names.size(), destination, request.copy));
    return true;
}

void CPirelaDoc::RemoveEntries(const std::vector<std::string>& names) {
    int first = list_.Count();
    for (const std::string& name : names) {
        const int row = list_.FindFileName(name);
        if (row < 0 || list_.Name(row) != name) {
            continue;
        }
        first = std::min(first, row);
        if (host_.HasFileListWindow()) {
            host_.DeleteFileListRow(row);
        }
        list_.RemoveFileName(row);
    }
    if (list_.Count() == 0) {
        ClearImage();
        return;
    }
    MoveTo(std::min(first, list_.Count() - 1));
    LoadImageFile(list_.CurrentImagePath());
    SelectCurrentRow();
}

void CPirelaDoc::TellOutcome(const std::string& text) {
    host_.TellOutcome(std::exchange(lastImageWent_, false) ? res::kLastImageSent + text : text);
}

void CPirelaDoc::MarkCopied(const std::string& source, const std::string& destination) {
    std::vector<std::string>& marks = copiedTo_[source];
    if (std::find(marks.begin(), marks.end(), destination) == marks.end()) {
        marks.push_back(destination);
    }
}

void CPirelaDoc::UnmarkCopied(const std::string& source, const std::string& destination) {
    const auto marks = copiedTo_.find(source);
    if (marks != copiedTo_.end()) {
        std::erase(marks->second, destination);
    }
}

void CPirelaDoc::FollowRename(const FileOperation& rename, bool takenBack) {
    const std::string current = renamedCurrent_.value_or(list_.CurrentImagePath());
    for (const OperationFile& file : rename.files) {
        const std::string& before = takenBack ? file.to : file.from;
        const std::string& after = takenBack ? file.from : file.to;
        if (file.moved && before == current) {
            renamedCurrent_ = after;
            if (const auto marks = copiedTo_.extract(before)) {
                copiedTo_[after] = std::move(marks.mapped());
            }
            return;
        }
    }
}

void CPirelaDoc::RefreshAfterFileChange() {
    if (list_.Count() > 0) {
        host_.UpdateScrollSizes(); // an emptied folder keeps the scroll area ClearImage gave it
    }
    host_.RefreshStatusTexts();
    host_.RefreshTitle();
}

void CPirelaDoc::ShowAfterRemoval() {
    if (list_.Current() >= 0) {
        lastImageWent_ = list_.Count() > 1 && list_.Current() == list_.Count() - 1;
        RemoveCurrentEntry();
    } else {
        // A file shown outside the list (a hidden one) leaves the list as it is; the view goes
        // back to the first listed image, as a re-scan would.
        MoveTo(0);
    }
    if (list_.Count() == 0) {
        ClearImage();
        return;
    }
    LoadImageFile(list_.CurrentImagePath());
    SelectCurrentRow();
}

// --- The journal of file operations ---

bool CPirelaDoc::AwaitRecovery() {
    std::vector<RecoveredOperation> recovered;
    std::atomic<bool> cancel{false};
    bool interrupted = false;
    host_.RunFileWork(
        [&] {
            interrupted = startup_ && !startup_->WaitUnless(cancel);
            if (!interrupted && log_.OthersLeftWork()) {
                Recovery recovery(log_, calls_);
                recovered = recovery.Run(false, &cancel);
                interrupted = recovery.Cancelled();
            }
        },
        cancel);
    if (const std::string message = RecoveryMessage(recovered); !message.empty()) {
        prompter_.ShowMessage(message, MessageIcon::Information, MessageButtons::Ok);
    }
    return !interrupted;
}

std::string CPirelaDoc::UndoPrompt() {
    const std::optional<FileOperation>& latest = history_.Latest();
    if (!latest || latest->files.empty()) {
        return res::FindCommandText(res::kCmdUndo)->prompt;
    }
    return res::UndoPrompt(DescribeOperation(*latest));
}

// --- Taking files back ---

void CPirelaDoc::UndoLastSend() {
    if (!AwaitRecovery() || !history_.Latest()) {
        return;
    }
    const FileOperation operation = *history_.Latest();
    const OperationUndo::Outcome outcome = undo_.Run(operation);
    const bool done = outcome == OperationUndo::Outcome::Done;
    if (done && operation.kind == operation::kCopy) {
        for (const OperationFile& copy : operation.files) {
            UnmarkCopied(copy.from, std::string(LastPartOf(FolderOf(copy.to))));
        }
        host_.RefreshTitle();
        host_.UpdateAllViews(); // the grid's marks
    }
    // Taking a copy back touches neither the list nor the display, nor does a cancelled undo.
    if (outcome == OperationUndo::Outcome::Declined ||
        outcome == OperationUndo::Outcome::Cancelled || operation.kind == operation::kCopy) {
        if (done) {
            TellOutcome(res::UndoneOutcome(BriefDescription(operation)));
        }
        return;
    }
    if (done && operation.kind == operation::kRename) {
        FollowRename(operation, true);
    }
    RescanFolder();
    const bool returned = operation.kind == operation::kMove || operation.kind == operation::kTrash;
    if (done && returned) {
        ShowReturnedFile(operation.files.front().from);
    }
    if (done) {
        TellOutcome(res::UndoneOutcome(BriefDescription(operation)));
    }
}

void CPirelaDoc::ShowReturnedFile(const std::string& path) {
    // The file came back to be sorted again: it is shown, when the open folder lists it.
    const std::string folderPrefix = JoinPath(list_.Folder(), "");
    if (list_.Folder().empty() || path.compare(0, folderPrefix.size(), folderPrefix) != 0) {
        return;
    }
    const std::string name = path.substr(folderPrefix.size());
    const int row = list_.FindFileName(name);
    if (row < 0 || list_.Name(row) != name || row == list_.Current()) {
        return;
    }
    ShowListedImage(MoveTo(row));
}

void CPirelaDoc::DeleteToRecycleBin() {
    if (!list_.HasCurrentImage()) {
        return;
    }
    if (const std::vector<int> rows = SeveralChosen(); !rows.empty()) {
        TrashSeveral(rows);
        return;
    }
    if (!AwaitRecovery()) {
        return;
    }
    AwaitListing();
    const std::string path = list_.CurrentImagePath();
    if (prompter_.ShowMessage(res::TrashQuestion(path), MessageIcon::Question,
                              MessageButtons::YesNo) != MessageAnswer::Yes) {
        return;
    }
    const TransferResult put =
        AskTheDisk(host_, [&] { return TrashOperation(log_, calls_).Put(path); });
    if (!put.Succeeded()) {
        prompter_.ShowMessage(put.status == TransferStatus::NotRecorded
                                  ? res::JournalUnwritableMessage(log_.Journal().Path().string())
                                  : res::CannotDeleteMessage(path),
                              MessageIcon::Warning, MessageButtons::Ok);
        return;
    }
    ShowAfterRemoval();
    RefreshAfterFileChange();
    TellOutcome(res::TrashedOutcome(FileNameOf(path)));
}

void CPirelaDoc::TrashSeveral(const std::vector<int>& rows) {
    if (!AwaitRecovery()) {
        return;
    }
    AwaitListing();
    std::vector<std::string> paths;
    for (const int row : rows) {
        paths.push_back(list_.ImagePath(row));
    }
    if (prompter_.ShowMessage(res::TrashManyQuestion(paths.size()), MessageIcon::Question,
                              MessageButtons::YesNo) != MessageAnswer::Yes) {
        return;
    }
    std::vector<bool> trashed;
    const TransferResult put =
        AskTheDisk(host_, [&] { return TrashOperation(log_, calls_).PutSeveral(paths, trashed); });
    std::vector<std::string> names;
    for (std::size_t i = 0; i < trashed.size(); ++i) {
        if (trashed[i]) {
            names.emplace_back(list_.Name(rows[i]));
        }
    }
    if (!put.Succeeded()) {
        const auto failed = std::find(trashed.begin(), trashed.end(), false);
        const std::string& path =
            paths[failed == trashed.end() ? 0 : std::size_t(failed - trashed.begin())];
        prompter_.ShowMessage(put.status == TransferStatus::NotRecorded
                                  ? res::JournalUnwritableMessage(log_.Journal().Path().string())
                                  : res::CannotDeleteMessage(path),
                              MessageIcon::Warning, MessageButtons::Ok);
    }
    if (names.empty()) {
        return;
    }
    RemoveEntries(names);
    RefreshAfterFileChange();
    TellOutcome(res::TrashedManyOutcome(names.size()));
}

} // namespace pirela
