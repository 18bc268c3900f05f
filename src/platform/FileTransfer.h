#pragma once

#include "platform/SystemCalls.h"
#include "platform/TransferResult.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>

namespace pirela {

// Whether an existing destination may be replaced. Only the user's own Yes confirms it.
enum class Overwrite { Refuse, Confirmed };

// Bytes copied so far and the source's size, reported every few MiB and once at the end.
using TransferProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;

// Copies, moves and removes the user's files so that none is ever lost or half-written:
// whatever fails, the source stays whole, the destination is either the old file or the new
// one in full, and no temporary file is left behind.
class FileTransfer {
public:
    explicit FileTransfer(const SystemCalls& calls = SystemCalls::Libc()) : calls_(calls) {}

    void OnProgress(TransferProgress progress) { progress_ = std::move(progress); }

    // Writes a copy of the source's content (a symbolic link is followed) under a temporary
    // name beside the destination, with the source's permission bits (never set-user or
    // set-group) and modification time, flushes it to the disk and only then puts it in place.
    TransferResult Copy(const std::filesystem::path& source,
                        const std::filesystem::path& destination, Overwrite overwrite) const;

    // Renames within one file system (a symbolic link moves as itself). Across file systems it
    // copies, flushes the destination folder and only then removes the source; if the source
    // cannot be removed, the new copy is taken back unless it replaced a file.
    TransferResult Move(const std::filesystem::path& source,
                        const std::filesystem::path& destination, Overwrite overwrite) const;

    TransferResult Remove(const std::filesystem::path& file) const;

    // The bytes the calling user may still write in the folder's file system; none when the
    // file system does not say.
    std::optional<std::uint64_t> FreeSpace(const std::filesystem::path& folder) const;

    // Whether the two paths name one file or folder, by device and inode: "D/", "D/." and a
    // link to D all name D.
    static bool IsSameFile(const std::filesystem::path& first,
                           const std::filesystem::path& second);

private:
    TransferResult CheckDestination(const std::filesystem::path& source,
                                    const std::filesystem::path& destination,
                                    Overwrite overwrite, bool& destinationExists) const;
    TransferResult CopyOpenFile(int in, const struct stat& status,
                                const std::filesystem::path& destination,
                                Overwrite overwrite) const;
    TransferResult MoveAcrossDevices(const std::filesystem::path& source,
                                     const std::filesystem::path& destination,
                                     Overwrite overwrite, bool destinationExisted) const;
    int CreateTemporary(const std::filesystem::path& folder,
                        std::filesystem::path& temporary) const;
    int CopyContent(int in, int out, std::uint64_t total) const;
    int SendWithinKernel(int in, int out, std::uint64_t& done, std::uint64_t total,
                         std::uint64_t& reported) const;
    int CopyThroughBuffer(int in, int out, std::uint64_t& done, std::uint64_t total,
                          std::uint64_t& reported) const;
    void ReportProgress(std::uint64_t done, std::uint64_t total, std::uint64_t& reported) const;
    int WriteAll(int fd, const char* bytes, std::size_t size) const;
    int FinishCopy(int out, const struct stat& status) const;
    int Place(const std::filesystem::path& from, const std::filesystem::path& to,
              Overwrite overwrite) const;
    int RenameWithoutReplacing(const char* from, const char* to) const;
    int LinkThenUnlink(const char* from, const char* to) const;
    int SyncFolder(const std::filesystem::path& folder) const;

    const SystemCalls& calls_;
    TransferProgress progress_;
};

} // namespace pirela
