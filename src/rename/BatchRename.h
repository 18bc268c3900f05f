#pragma once

#include "platform/SystemCalls.h"
#include "rename/BatchRenameSettings.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace pirela {

class FileWork;
class Prompter;

// One run of the batch rename as the dialog starts it: the checks, each stopping the run with
// its warning; the user's confirmation; the files listed afresh (the folder may have changed
// while the question was open); the rename; and the report of the counts.
class BatchRename {
public:
    // Shows the names the dialog's list is to hold now.
    using ShowFiles = std::function<void(const std::vector<std::string>&)>;

    // The listing and the rename run as the file work's; the user may cancel the rename.
    BatchRename(Prompter& prompter, FileWork& fileWork,
                const SystemCalls& calls = SystemCalls::Libc())
        : prompter_(prompter), fileWork_(fileWork), calls_(calls) {}

    // listed is the number of names the dialog shows when the user starts the run. True when
    // the run got past the confirmation, even if no file got a new name.
    bool Run(const BatchRenameSettings& settings, std::size_t listed,
             const ShowFiles& showFiles) const;

private:
    Prompter& prompter_;
    FileWork& fileWork_;
    const SystemCalls& calls_;
};

} // namespace pirela
