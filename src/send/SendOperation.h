#pragma once

#include "journal/FileOperation.h"
#include "platform/FileTransfer.h"
#include "platform/SystemCalls.h"

#include <atomic>
#include <functional>
#include <vector>

namespace pirela {

class OperationLog;

// A send as the journal keeps it, so that a crash at any point can be finished or taken back at
// the next start and the send undone later: its begin (each file's path before and after, its
// identity and mode, and what stands at the destination) is on the disk before anything is
// touched; a file the user agreed to replace goes to the trash once the new one is whole, and
// the journal says where before the new file takes its name (where no trash takes it, it is
// replaced, as agreed); a move to another disk records its copy before the source goes; the end
// says how it went and which file each destination now holds. Files go in their order; a
// failure stops the rest. A companion (a sidecar) follows the file before it where it can and
// never fails the send. Runs on the file work's thread.
class SendOperation {
public:
    SendOperation(OperationLog& log, const SystemCalls& calls = SystemCalls::Libc())
        : log_(log), calls_(calls) {}

    void OnProgress(TransferProgress progress) { progress_ = std::move(progress); }
    void CancelWhen(const std::atomic<bool>* cancel) { cancel_ = cancel; }
    // Told the number of each photo (not a companion) before it goes: 0, 1, ...
    void OnPhoto(std::function<void(std::size_t photo)> started) { started_ = std::move(started); }

    // The operation's files (from, to) are given; its kind is copy or move. NotRecorded when the
    // journal could not take a record: nothing is changed then, except that a file the send was
    // to replace may have stayed in the trash (the file's kept path says so) when it could not
    // be put back. Cancelled when the user cancelled it, also while another instance held the
    // journal.
    TransferResult Run(FileOperation& operation, Overwrite overwrite);
    // The same with the user's answer for each photo (in their order; a companion goes as its
    // photo was allowed to).
    TransferResult Run(FileOperation& operation, const std::vector<Overwrite>& overwrites);
    // Whether the operation was recorded as begun (until then no file was touched).
    bool Began() const { return began_; }

private:
    TransferResult SendFile(FileOperation& operation, std::size_t index, Overwrite overwrite);
    // Takes the file standing at the destination into the trash; how the new one is placed, or
    // none when it must not be (the journal could not say where the old one went).
    std::optional<Overwrite> KeepReplaced(FileOperation& operation, std::size_t index);
    void PutBackReplaced(FileOperation& operation, OperationFile& file) const;

    OperationLog& log_;
    const SystemCalls& calls_;
    TransferProgress progress_;
    const std::atomic<bool>* cancel_ = nullptr;
    std::function<void(std::size_t)> started_;
    bool unrecorded_ = false;
    bool began_ = false;
};

} // namespace pirela
