#pragma once

#include "journal/FileOperation.h"
#include "platform/SystemCalls.h"
#include "rename/BatchRenameSettings.h"
#include "rename/BatchRenamer.h"

#include <cstddef>
#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pirela {

class FileWork;
class OperationLog;
class Prompter;

// One run of the batch rename as the dialog starts it: the checks, each stopping the run with
// its warning; the user's confirmation; the files listed afresh (the folder may have changed
// while the question was open); the rename, as an operation of the journal (the files that
// move, their old and new names and identities recorded before any moves); and the report of
// the counts.
class BatchRename {
public:
    // Shows the names the dialog's list is to hold now.
    using ShowFiles = std::function<void(const std::vector<std::string>&)>;

    // The listing and the rename run as the file work's; the user may cancel the rename.
    BatchRename(Prompter& prompter, FileWork& fileWork, OperationLog& log,
                const SystemCalls& calls = SystemCalls::Libc())
        : prompter_(prompter), fileWork_(fileWork), log_(log), calls_(calls) {}

    // listed is the number of names the dialog shows when the user starts the run. True when
    // the run got past the confirmation, even if no file got a new name.
    bool Run(const BatchRenameSettings& settings, std::size_t listed,
             const ShowFiles& showFiles) const;

private:
    // Renames the files of the plan that may take their new names, in the journal; none when
    // the journal could not record it (nothing moved then).
    std::optional<BatchRenameCounts> RenameRecorded(const BatchRenamePlan& plan,
                                                    const std::vector<std::string>& names,
                                                    std::atomic<bool>& cancel) const;
    // The sidecars of the photos to rename, as entries after them that follow their photos'
    // new names, each also a companion file of the operation; those whose new name is taken
    // are left out.
    static void AddSidecars(const std::string& folder, const BatchRenamer& renamer,
                            FileOperation& operation, std::vector<BatchRenamer::Entry>& entries);

    Prompter& prompter_;
    FileWork& fileWork_;
    OperationLog& log_;
    const SystemCalls& calls_;
};

} // namespace pirela
