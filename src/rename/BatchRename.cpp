#include "rename/BatchRename.h"

#include "host/FileWork.h"
#include "host/Prompter.h"
#include "rename/BatchRenamer.h"
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
                                     plan.digits, plan.start);
    if (prompter_.ShowMessage(question, MessageIcon::Question, MessageButtons::YesNo) !=
        MessageAnswer::Yes) {
        return false;
    }
    const auto list = [&] { return ListBatchRenameFiles(plan.folder, settings.formats); };
    const std::vector<std::string> names = AskTheDisk(fileWork_, list);
    showFiles(names);
    BatchRenamer renamer(calls_);
    std::atomic<bool> cancel{false};
    renamer.CancelWhen(&cancel);
    BatchRenameCounts counts;
    fileWork_.RunFileWork(
        [&] { counts = renamer.Rename(plan.folder, names, plan.prefix, plan.digits, plan.start); },
        cancel);
    showFiles(AskTheDisk(fileWork_, list));
    prompter_.ShowMessage(cancel ? res::kBatchRenameCancelled
                                 : res::BatchRenameReport(counts.succeeded, counts.failed),
                          MessageIcon::Information, MessageButtons::Ok);
    return true;
}

} // namespace pirela
