#pragma once

#include "platform/SystemCalls.h"
#include "platform/TransferResult.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace pirela {

// Whether an existing destination may be replaced. Only the user's own Yes confirms it.
enum class Overwrite { Refuse, Confirmed };

// Runs before a rename claims a name with an empty file of ours; false stops it (see
// FileTransfer::BeforeClaiming).
using ClaimHook = std::function<bool()>;

// Bytes copied so far and the source's size, reported every few MiB and once at the end.
using TransferProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;

// Copies, moves and removes the user's files so that none is ever lost or half-written:
// whatever fails, the source stays whole, the destination is either the old file or the new
// one in full, and no temporary file is left behind.
class FileTransfer {
public:
    explicit FileTransfer(const SystemCalls& calls = SystemCalls::Libc()) : calls_(calls) {}

    void OnProgress(TransferProgress progress) { progress_ = std::move(progress); }
    // A copy polls the flag between its blocks of data and, once it is set, stops with the
    // status Cancelled: its temporary file removed, the destination as it was, and a move's
    // source still in place. Once the data are all copied the operation is finished instead.
    void CancelWhen(const std::atomic<bool>* cancel) { cancel_ = cancel; }

    // The permission bits a copy gets instead of its source's (a file coming back from a disk
    // that invents its own, such as FAT's 0777, gets the bits it had before it left).
    void SetCopyMode(mode_t mode) { copyMode_ = mode; }

    // The name a copy is written under beside its destination, instead of a random one: an
    // operation's own name, which its recovery can find. Taken only when nothing stands there.
    void UseTemporaryName(std::string name) { temporaryName_ = std::move(name); }

    // Runs when a confirmed replacement is about to put the file in place, once the new file is
    // whole: it may take the old file out of the way (into the trash) and answers how the file
    // is to be placed now: Refuse when the name is free again, so that nothing that appears
    // meanwhile is replaced; none stops it there (NotRecorded: the file is not placed, and its
    // temporary goes). When placing fails then, the old file's name is free.
    using ReplaceHook =
        std::function<std::optional<Overwrite>(const std::filesystem::path& destination)>;
    void BeforeReplacing(ReplaceHook hook) { beforeReplacing_ = std::move(hook); }

    // Runs when a move across file systems has put its copy in place and is about to remove the
    // source; false stops it, and the copy is taken back as after any failure there.
    void BeforeRemovingSource(std::function<bool()> hook) { beforeRemovingSource_ = std::move(hook); }

    // Runs before a name is claimed with an empty file of ours (a disk without no-replace
    // renames or links, below); false stops the rename there (NotRecorded), unclaimed.
    void BeforeClaiming(ClaimHook hook) { beforeClaiming_ = std::move(hook); }

    // Writes a copy of a regular file's content (a symbolic link is followed) under a temporary
    // name beside the destination, with the source's permission bits (never set-user or
    // set-group) and modification time where the destination keeps them, flushes it to the
    // disk, only then puts it in place, and flushes the destination folder.
    TransferResult Copy(const std::filesystem::path& source,
                        const std::filesystem::path& destination, Overwrite overwrite) const;

    // Renames within one file system (a symbolic link moves as itself). Across file systems it
    // copies, flushes the destination folder and only then removes the source; if the source
    // cannot be removed, the new copy is taken back unless it replaced a file.
    TransferResult Move(const std::filesystem::path& source,
                        const std::filesystem::path& destination, Overwrite overwrite) const;

    // Renames within one file system without replacing anything; CrossDevice when the two
    // paths lie on different ones, and nothing is copied then.
    TransferResult Rename(const std::filesystem::path& source,
                          const std::filesystem::path& destination) const;

    TransferResult Remove(const std::filesystem::path& file) const;

    // The bytes the calling user may still write in the folder's file system; none when the
    // file system does not say (the query fails, or it reports no blocks at all, as some
    // network and FUSE file systems do).
    std::optional<std::uint64_t> FreeSpace(const std::filesystem::path& folder) const;

    // Whether the two paths name one file or folder, by device and inode: "D/", "D/." and a
    // link to D all name D.
    static bool IsSameFile(const std::filesystem::path& first,
                           const std::filesystem::path& second);

private:
    TransferResult CopyUnsynced(const std::filesystem::path& source,
                                const std::filesystem::path& destination,
                                Overwrite overwrite) const;
    TransferResult RenameName(const std::filesystem::path& source,
                              const std::filesystem::path& destination, Overwrite overwrite,
                              bool& destinationExists) const;
    TransferResult CheckDestination(const std::filesystem::path& source,
                                    const std::filesystem::path& destination,
                                    Overwrite overwrite, bool& destinationExists) const;
    TransferResult CopyOpenFile(int in, const struct stat& status,
                                const std::filesystem::path& destination,
                                Overwrite overwrite) const;
    TransferResult MoveAcrossDevices(const std::filesystem::path& source,
                                     const std::filesystem::path& destination,
                                     Overwrite overwrite) const;
    int CreateTemporary(const std::filesystem::path& folder,
                        std::filesystem::path& temporary) const;
    int CopyContent(int in, int out, std::uint64_t total) const;
    int SendWithinKernel(int in, int out, std::uint64_t& done, std::uint64_t total,
                         std::uint64_t& reported) const;
    int CopyThroughBuffer(int in, int out, std::uint64_t& done, std::uint64_t total,
                          std::uint64_t& reported) const;
    void ReportProgress(std::uint64_t done, std::uint64_t total, std::uint64_t& reported) const;
    int FinishCopy(int out, const struct stat& status) const;
    TransferResult Place(const std::filesystem::path& from, const std::filesystem::path& to,
                         Overwrite overwrite) const;
    TransferResult RenameWithoutReplacing(const std::filesystem::path& from,
                                          const std::filesystem::path& to) const;
    int LinkThenUnlink(const char* from, const char* to) const;
    TransferResult RenameOverClaim(const std::filesystem::path& from,
                                   const std::filesystem::path& to) const;
    void RemoveFailedClaim(const std::filesystem::path& to) const;
    TransferResult RenameFailure(const std::filesystem::path& from, const std::filesystem::path& to,
                                 int error) const;
    int SyncFolder(const std::filesystem::path& folder) const;

    bool Cancelled() const { return cancel_ != nullptr && cancel_->load(); }

    const SystemCalls& calls_;
    TransferProgress progress_;
    std::optional<mode_t> copyMode_;
    const std::atomic<bool>* cancel_ = nullptr;
    std::optional<std::string> temporaryName_;
    ReplaceHook beforeReplacing_;
    std::function<bool()> beforeRemovingSource_;
    ClaimHook beforeClaiming_;
    // Whether the last placement replaced a file (the user's confirmed Yes).
    mutable bool replaced_ = false;
};

} // namespace pirela
