#include "send/SendEngine.h"

#include "common/PathRules.h"
#include "host/DocumentHost.h"
#include "host/Prompter.h"
#include "journal/OperationLog.h"
#include "platform/FileAccess.h"
#include "platform/FileTransfer.h"
#include "platform/Sidecars.h"
#include "res/JournalMessages.h"
#include "res/Messages.h"
#include "send/NewFileName.h"
#include "send/SendOperation.h"

#include <algorithm>

namespace pirela {

namespace {

const char* WordFor(bool copy) {
    return copy ? res::kSendWordCopy : res::kSendWordMove;
}

int PercentOf(std::uint64_t done, std::uint64_t total) {
    return total == 0 ? 100 : static_cast<int>(done * 100 / total);
}

} // namespace

std::optional<SendPlan> SendEngine::Prepare(const SendRequest& request) const {
    if (request.folder.empty()) {
        return std::nullopt;
    }
    const std::string folder = WithoutTrailingSeparator(request.folder);
    if (IsSourceFolder(folder, request.source)) {
        prompter_.ShowMessage(res::kMsgSameFolder, MessageIcon::Warning, MessageButtons::Ok);
        return std::nullopt;
    }
    const std::string destination = JoinPath(folder, FileNameOf(request.source));
    if (request.ask && !Confirm(request, destination)) {
        return std::nullopt;
    }
    std::optional<SendTarget> target = ChooseTarget(request, folder, destination);
    if (!target || !HasRoomFor(request, target->path)) {
        return std::nullopt;
    }
    return SendPlan{request.source, std::move(*target), request.copy};
}

// By name first (case matters: "Pics" and "pics" are two folders here), then by identity, so
// that "D/.", a link to D or a second mount of D is the same folder too.
bool SendEngine::IsSourceFolder(const std::string& folder, const std::string& source) const {
    const std::string sourceFolder = FolderOf(source);
    return folder == sourceFolder ||
           AskTheDisk(host_, [&] { return FileTransfer::IsSameFile(folder, sourceFolder); });
}

bool SendEngine::Confirm(const SendRequest& request, const std::string& destination) const {
    const char* word = WordFor(request.copy);
    const MessageAnswer answer = prompter_.ShowCaptionedMessage(
        res::SendConfirmCaption(word),
        res::SendConfirmText(request.source, FolderForSearch(FolderOf(destination)), word),
        MessageIcon::Information, MessageButtons::OkCancel);
    return answer == MessageAnswer::Ok;
}

std::optional<SendTarget> SendEngine::ChooseTarget(const SendRequest& request,
                                                   const std::string& folder,
                                                   const std::string& destination) const {
    const std::string_view fileName = FileNameOf(request.source);
    if (request.rename) {
        return AskNewFileName(prompter_, folder, fileName);
    }
    if (!AskTheDisk(host_, [&] { return NameExists(destination); })) {
        return SendTarget{destination};
    }
    return TargetAnswered(prompter_.ShowMessage(res::OverwriteQuestion(destination),
                                                MessageIcon::Question,
                                                MessageButtons::YesNoCancelDefaultCancel),
                          folder, destination);
}

std::optional<SendTarget> SendEngine::TargetAnswered(MessageAnswer answer,
                                                     const std::string& folder,
                                                     const std::string& destination) const {
    switch (answer) {
    case MessageAnswer::Yes:
        return SendTarget{destination, Overwrite::Confirmed};
    case MessageAnswer::No:
        return AskNewFileName(prompter_, folder, FileNameOf(destination));
    default:
        return std::nullopt;
    }
}

// The file must fit with room to spare; when the file system does not say, the copy itself
// will report a full disk.
bool SendEngine::HasRoomFor(const SendRequest& request, const std::string& destination) const {
    return HasRoomFor(request.size, request.copy, destination);
}

bool SendEngine::HasRoomFor(std::int64_t size, bool copy, const std::string& destination) const {
    const std::optional<std::uint64_t> free =
        AskTheDisk(host_, [&] { return FileTransfer(calls_).FreeSpace(FolderOf(destination)); });
    if (!free || static_cast<std::uint64_t>(size) < *free) {
        return true;
    }
    prompter_.ShowMessage(res::NoSpaceMessage(WordFor(copy)), MessageIcon::Warning,
                          MessageButtons::Ok);
    return false;
}

// --- Several photos ---

std::optional<std::vector<SendPlan>>
SendEngine::PrepareSeveral(const SeveralSendRequest& request) const {
    if (request.folder.empty() || request.sources.empty()) {
        return std::nullopt;
    }
    const std::string folder = WithoutTrailingSeparator(request.folder);
    for (const std::string& source : request.sources) {
        if (IsSourceFolder(folder, source)) {
            prompter_.ShowMessage(res::kMsgSameFolder, MessageIcon::Warning, MessageButtons::Ok);
            return std::nullopt;
        }
    }
    const char* word = WordFor(request.copy);
    if (request.ask &&
        prompter_.ShowCaptionedMessage(
            res::SendConfirmCaption(word),
            res::SendManyConfirmText(request.sources.size(), FolderForSearch(folder), word),
            MessageIcon::Information, MessageButtons::OkCancel) != MessageAnswer::Ok) {
        return std::nullopt;
    }
    std::vector<SendPlan> plans;
    std::optional<MessageAnswer> forAll;
    for (const std::string& source : request.sources) {
        std::optional<SendTarget> target = ChooseTargetAmong(request, source, plans, forAll);
        if (!target) {
            return std::nullopt;
        }
        plans.push_back({source, std::move(*target), request.copy});
    }
    if (!HasRoomFor(request.size, request.copy, plans.front().target.path)) {
        return std::nullopt;
    }
    return plans;
}

std::optional<SendTarget>
SendEngine::ChooseTargetAmong(const SeveralSendRequest& request, const std::string& source,
                              const std::vector<SendPlan>& planned,
                              std::optional<MessageAnswer>& forAll) const {
    const std::string folder = WithoutTrailingSeparator(request.folder);
    const std::string_view fileName = FileNameOf(source);
    const std::string destination = JoinPath(folder, fileName);
    const auto plannedAlready = [&planned](const std::string& path) {
        return std::any_of(planned.begin(), planned.end(),
                           [&path](const SendPlan& plan) { return plan.target.path == path; });
    };
    // Two photos of subfolders may share a name: the second needs a name of its own.
    if (request.rename || plannedAlready(destination)) {
        return AskNewFileName(prompter_, folder, fileName);
    }
    if (!AskTheDisk(host_, [&] { return NameExists(destination); })) {
        return SendTarget{destination};
    }
    MessageAnswer answer = forAll.value_or(MessageAnswer::Cancel);
    if (!forAll) {
        const RepeatedAnswer asked =
            prompter_.AskForEach(res::OverwriteQuestion(destination), MessageIcon::Question,
                                 MessageButtons::YesNoCancelDefaultCancel);
        answer = asked.answer;
        if (asked.forAll) {
            forAll = answer;
        }
    }
    return TargetAnswered(answer, folder, destination);
}

std::vector<bool> SendEngine::TransferSeveral(const std::vector<SendPlan>& plans) const {
    std::vector<bool> sent(plans.size(), false);
    if (plans.empty()) {
        return sent;
    }
    const bool copy = plans.front().copy;
    const WaitCursor wait(host_);
    const char* status = copy ? res::kStatusCopying : res::kStatusMoving;
    host_.ShowStatusMessage(status);
    SendOperation send(log_, calls_);
    std::atomic<std::size_t> photo{0};
    const auto tell = [this, status, &photo, count = plans.size()](int percent) {
        host_.ShowProgress(res::TransferManyProgressText(status, photo + 1, count, percent));
    };
    send.OnPhoto([&](std::size_t started) {
        photo = started;
        tell(0);
    });
    send.OnProgress([&](std::uint64_t done, std::uint64_t total) { tell(PercentOf(done, total)); });
    std::atomic<bool> cancel{false};
    send.CancelWhen(&cancel);
    FileOperation operation;
    operation.kind = copy ? operation::kCopy : operation::kMove;
    std::vector<Overwrite> overwrites;
    TransferResult result;
    host_.RunFileWork(
        [&] {
            for (const SendPlan& plan : plans) {
                operation.files.push_back({plan.source, plan.target.path});
                overwrites.push_back(plan.target.overwrite);
                for (const std::string& sidecar : SidecarsOf(plan.source)) {
                    OperationFile& file = operation.files.emplace_back(
                        sidecar, SidecarFollowing(sidecar, plan.source, plan.target.path));
                    file.companion = true;
                }
            }
            result = send.Run(operation, overwrites);
        },
        cancel);
    host_.RestoreStatusMessage();
    std::size_t index = 0;
    const OperationFile* stopped = nullptr;
    for (const OperationFile& file : operation.files) {
        if (file.companion) {
            continue;
        }
        sent[index] = send.Began() && file.moved;
        if (!sent[index] && stopped == nullptr) {
            stopped = &file;
            if (result.status == TransferStatus::Cancelled) {
                host_.ShowStatusMessage(res::TransferCancelledText(WordFor(copy)));
            } else if (!result.Succeeded()) {
                ReportFailure(plans[index], result, file.kept);
            }
        }
        ++index;
    }
    return sent;
}

bool SendEngine::Transfer(SendPlan& plan, const std::function<void()>& afterMove) const {
    for (;;) {
        std::string keptInTrash;
        const TransferResult result = TransferOnce(plan, afterMove, keptInTrash);
        if (result.Succeeded()) {
            return true;
        }
        if (result.status == TransferStatus::Cancelled) {
            host_.ShowStatusMessage(res::TransferCancelledText(WordFor(plan.copy)));
            return false;
        }
        ReportFailure(plan, result, keptInTrash);
        if (result.status != TransferStatus::NameNotAllowed) {
            return false;
        }
        std::optional<SendTarget> renamed =
            AskNewFileName(prompter_, FolderOf(plan.target.path), FileNameOf(plan.source));
        if (!renamed) {
            return false;
        }
        plan.target = std::move(*renamed);
    }
}

// The wait cursor and the status text are gone again before any message tells of a failure.
TransferResult SendEngine::TransferOnce(const SendPlan& plan,
                                        const std::function<void()>& afterMove,
                                        std::string& keptInTrash) const {
    const WaitCursor wait(host_);
    const char* status = plan.copy ? res::kStatusCopying : res::kStatusMoving;
    host_.ShowStatusMessage(status);
    SendOperation send(log_, calls_);
    // Only a copy of many megabytes reports more than once.
    send.OnProgress([this, status](std::uint64_t done, std::uint64_t total) {
        host_.ShowProgress(res::TransferProgressText(status, PercentOf(done, total)));
    });
    std::atomic<bool> cancel{false};
    send.CancelWhen(&cancel);
    FileOperation operation;
    operation.kind = plan.copy ? operation::kCopy : operation::kMove;
    operation.files.push_back({plan.source, plan.target.path});
    TransferResult result;
    host_.RunFileWork(
        [&] {
            for (const std::string& sidecar : SidecarsOf(plan.source)) {
                OperationFile& file = operation.files.emplace_back(
                    sidecar, SidecarFollowing(sidecar, plan.source, plan.target.path));
                file.companion = true;
            }
            result = send.Run(operation, plan.target.overwrite);
        },
        cancel);
    if (!result.Succeeded()) {
        keptInTrash = operation.files.front().kept;
    }
    if (result.Succeeded() && !plan.copy) {
        afterMove();
    }
    host_.RestoreStatusMessage();
    return result;
}

void SendEngine::ReportFailure(const SendPlan& plan, const TransferResult& result,
                               const std::string& keptInTrash) const {
    const char* word = WordFor(plan.copy);
    const std::string& source = plan.source;
    const std::string& destination = plan.target.path;
    std::string text;
    switch (result.status) {
    case TransferStatus::SameFile:
        text = res::kMsgSameFolder;
        break;
    case TransferStatus::NoSpace:
        text = res::NoSpaceMessage(word);
        break;
    case TransferStatus::DestinationGone:
        text = res::DestinationGoneMessage(source, destination, word);
        break;
    case TransferStatus::DestinationReadOnly:
        text = res::DestinationReadOnlyMessage(source, destination, word);
        break;
    case TransferStatus::NameNotAllowed:
        text = res::NameNotAllowedMessage(source, destination, word);
        break;
    case TransferStatus::NotRecorded:
        text = res::JournalUnwritableMessage(log_.Journal().Path().string());
        break;
    default:
        text = plan.copy ? res::CopyFailedMessage(source, destination)
                         : res::MoveFailedMessage(source, destination);
        break;
    }
    if (!keptInTrash.empty()) {
        text += res::ReplacedLeftInTrashLine(destination, keptInTrash);
    }
    prompter_.ShowMessage(text, MessageIcon::Warning, MessageButtons::Ok);
}

} // namespace pirela
