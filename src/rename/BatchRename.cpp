#include "rename/BatchRename.h"

#include "common/PathRules.h"
#include "host/FileWork.h"
#include "host/Prompter.h"
#include "journal/OperationLog.h"
#include "platform/Sidecars.h"
#include "rename/BatchRenamer.h"
#include "res/JournalMessages.h"
#include "res/Messages.h"

namespace pirela {

bool BatchRename::Run(const BatchRenameSettings& settings, std::size_t listed,
                      const ShowFiles& showFiles) const {
    const BatchRenameCheck check = CheckBatchRename(settings, listed);
    if (!check.Passed()) {
        prompter_.ShowMessage(check.message, MessageIcon::Warning, MessageButtons::Ok);
        return false;
    }
    const BatchRenamePlan& plan = check.plan;
    const std::string question =
        res::BatchRenameConfirmation(plan.folder, FormatListText(settings.formats), plan.prefix,
                                     plan.digits, plan.start) +
        res::BatchRenameOrderLine(static_cast<int>(settings.order));
    if (prompter_.ShowMessage(question, MessageIcon::Question, MessageButtons::YesNo) !=
        MessageAnswer::Yes) {
        return false;
    }
    const auto list = [&] {
        return ListBatchRenameFiles(plan.folder, settings.formats, settings.order, settings.dates);
    };
    const std::vector<std::string> names = AskTheDisk(fileWork_, list);
    showFiles(names);
    std::atomic<bool> cancel{false};
    std::optional<BatchRenameCounts> counts;
    fileWork_.RunFileWork([&] { counts = RenameRecorded(plan, names, cancel); }, cancel);
    showFiles(AskTheDisk(fileWork_, list));
    if (!counts && !cancel) {
        prompter_.ShowMessage(res::JournalUnwritableMessage(log_.Journal().Path().string()),
                              MessageIcon::Warning, MessageButtons::Ok);
        return true;
    }
    prompter_.ShowMessage(cancel ? res::kBatchRenameCancelled
                                 : res::BatchRenameReport(counts->succeeded, counts->failed),
                          MessageIcon::Information, MessageButtons::Ok);
    return true;
}

std::optional<BatchRenameCounts> BatchRename::RenameRecorded(const BatchRenamePlan& plan,
                                                             const std::vector<std::string>& names,
                                                             std::atomic<bool>& cancel) const {
    BatchRenamer renamer(calls_);
    renamer.CancelWhen(&cancel);
    FileOperation operation;
    operation.kind = operation::kRename;
    operation.folder = plan.folder;
    BatchRenameCounts counts;
    std::vector<BatchRenamer::Entry> entries;
    for (BatchRenamer::Entry& entry :
         renamer.Plan(plan.folder, names, plan.prefix, plan.digits, plan.start)) {
        if (!entry.valid) {
            ++counts.failed; // stays where it is
            continue;
        }
        OperationFile file{JoinPath(plan.folder, entry.oldName), JoinPath(plan.folder, entry.newName)};
        file.identity = FileIdentity::Of(file.from);
        operation.files.push_back(std::move(file));
        entries.push_back(std::move(entry));
    }
    AddSidecars(plan.folder, renamer, operation, entries);
    if (!log_.Begin(operation, &cancel)) {
        return std::nullopt;
    }
    renamer.BeforeClaiming(log_.ClaimRecorder(operation));
    renamer.Rename(plan.folder, entries, operation.id);
    // A file that could neither take its new name nor go back to its old one is not left hidden.
    renamer.Unhide(plan.folder, entries, operation.id);
    bool parked = false;
    BatchRenameCounts renamed;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        OperationFile& file = operation.files[i];
        file.moved = entries[i].place == BatchRenamer::Place::New;
        parked = parked || entries[i].place == BatchRenamer::Place::Parked;
        if (!file.companion) { // the report counts the photos
            ++(file.moved ? renamed.succeeded : renamed.failed);
        }
    }
    // A file left under its parking name (the disk refused every rename) keeps the operation
    // open: the next start takes the whole run back.
    if (!parked) {
        log_.End(operation, renamed.succeeded > 0 ? operation::kDone
                            : cancel              ? operation::kCancelled
                                                  : operation::kFailed);
    }
    counts.succeeded += renamed.succeeded;
    counts.failed += renamed.failed;
    return counts;
}

void BatchRename::AddSidecars(const std::string& folder, const BatchRenamer& renamer,
                              FileOperation& operation,
                              std::vector<BatchRenamer::Entry>& entries) {
    const std::size_t photos = entries.size();
    for (std::size_t i = 0; i < photos; ++i) {
        const std::string& photo = operation.files[i].from;
        for (const std::string& sidecar : SidecarsOf(photo)) {
            const std::string name(FileNameOf(sidecar));
            entries.push_back({name, SidecarFollowing(name, entries[i].oldName, entries[i].newName)});
        }
    }
    renamer.Check(folder, entries);
    // A sidecar whose new name is taken stays where it is, under its old name.
    std::vector<BatchRenamer::Entry> kept(entries.begin(), entries.begin() + std::ptrdiff_t(photos));
    for (std::size_t i = photos; i < entries.size(); ++i) {
        if (entries[i].valid) {
            OperationFile file{JoinPath(folder, entries[i].oldName), JoinPath(folder, entries[i].newName)};
            file.identity = FileIdentity::Of(file.from);
            file.companion = true;
            operation.files.push_back(std::move(file));
            kept.push_back(std::move(entries[i]));
        }
    }
    entries = std::move(kept);
}

} // namespace pirela
