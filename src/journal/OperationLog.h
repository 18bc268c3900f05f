#pragma once

#include "journal/FileOperation.h"
#include "journal/JournalFile.h"
#include "journal/JournalOwner.h"
#include "platform/SystemCalls.h"

#include <atomic>
#include <filesystem>
#include <functional>
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
    // the disk. False when it could not be written, or when the flag was set while another
    // instance held the journal: the operation must not start then.
    bool Begin(FileOperation& operation, const std::atomic<bool>* cancel = nullptr);
    // A step, flushed to the disk.
    bool Write(const JournalRecord& record) { return journal_.Append(record); }
    // The operation's end: its outcome, and what is known of each file. Every folder the
    // operation changed is flushed first (see FoldersChangedBy), so that what the end says is
    // on the disk too, even on a card pulled at once.
    bool End(const FileOperation& operation, std::string_view outcome);

    // Makes this instance the owner of an operation whose instance died, so that no other
    // instance recovers it meanwhile; false when that could not be recorded.
    bool Adopt(FileOperation& operation);

    // What an operation's file transfers run before claiming a name (FileTransfer's
    // BeforeClaiming): records once that the operation claims names, so that recovery may take
    // an empty file at one of them for its claim; false, and no claim, when that fails.
    std::function<bool()> ClaimRecorder(FileOperation& operation);

    // The folders whose entries the operation changed: where its files went and, unless it
    // copied them, where they were; the trash's folders where it kept files.
    static std::vector<std::filesystem::path> FoldersChangedBy(const FileOperation& operation);

    // Whether an instance that died has left its mark in the folder, and with it perhaps
    // operations still open. A quick look, for before every file operation.
    bool OthersLeftWork() const;

private:
    bool EnsureOwner();

    std::filesystem::path folder_;
    const SystemCalls& calls_;
    JournalFile journal_;
    std::unique_ptr<JournalOwner> owner_;
};

} // namespace pirela
