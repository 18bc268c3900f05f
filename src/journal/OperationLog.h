#pragma once

#include "journal/FileOperation.h"
#include "journal/JournalFile.h"
#include "journal/JournalOwner.h"
#include "platform/SystemCalls.h"

#include <filesystem>
#include <memory>
#include <string_view>

namespace pirela {

// Where this instance writes its operations: the journal in its folder, each operation marked
// with this instance's owner mark (made when the first operation begins), so that another
// instance can tell an operation still running from one whose instance died.
class OperationLog {
public:
    explicit OperationLog(std::filesystem::path folder,
                          const SystemCalls& calls = SystemCalls::Libc());

    const std::filesystem::path& Folder() const { return folder_; }
    JournalFile& Journal() { return journal_; }

    // Gives the operation a new id and this instance's mark, then writes its begin, flushed to
    // the disk. False when it could not be written: the operation must not start then.
    bool Begin(FileOperation& operation);
    // A step or an end, flushed to the disk.
    bool Write(const JournalRecord& record) { return journal_.Append(record); }
    // The operation's end: its outcome, and what is known of each file.
    bool End(const FileOperation& operation, std::string_view outcome);

    // Whether an instance that died has left its mark in the folder, and with it perhaps
    // operations still open. A quick look, for before every file operation.
    bool OthersLeftWork() const;

private:
    std::filesystem::path folder_;
    JournalFile journal_;
    std::unique_ptr<JournalOwner> owner_;
};

} // namespace pirela
