#pragma once

#include "platform/FileIdentity.h"
#include "platform/SystemCalls.h"
#include "platform/TransferResult.h"
#include "trash/TrashFolders.h"
#include "trash/TrashedFile.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace pirela {

struct TrashResult {
    TransferResult result;
    TrashedFile file; // where it went, when it went

    bool Succeeded() const { return result.Succeeded(); }
};

// The desktop's trash (the freedesktop.org one that file managers show), kept by the core so
// that a file name travels byte for byte, whatever its encoding. Nothing here ever copies or
// deletes the user's file: it is renamed into the trash of its own disk, or it stays where it is.
class Trash {
public:
    explicit Trash(const SystemCalls& calls = SystemCalls::Libc(),
                   std::string homeTrash = HomeTrashPath())
        : calls_(calls), homeTrash_(std::move(homeTrash)) {}

    // Runs before a rename of the trash claims a name with an empty file (FileTransfer's
    // BeforeClaiming): on FAT, putting in and taking out are such renames.
    void BeforeClaiming(std::function<bool()> hook) { beforeClaiming_ = std::move(hook); }

    // Puts a regular file (or a link to one, which goes as itself) into the trash: first its
    // record, created exclusively under a name no other file of the trash has, flushed to the
    // disk with the trash's info folder; then the file, renamed beside it without replacing
    // anything, and both folders flushed: when it returns, a power cut finds the file in the
    // trash, never in neither place. When the rename fails the record goes again and the file
    // stays.
    TrashResult Put(const std::string& path) const;

    // Puts a trashed file back at its original place, never replacing what stands there now,
    // flushes both folders, and then removes its record.
    TransferResult Restore(const TrashedFile& trashed) const;

    // Where the file that was at the path went, found in the trash of its disk among the names
    // a put gives it, by its identity as that disk keeps it (DiskKind); none when it is not
    // there.
    std::optional<TrashedFile> Find(const std::string& path, const FileIdentity& identity) const;

    // Removes the records of the path whose file is not in the trash: a put or a restore cut
    // short between its steps leaves one (whole, or empty when it was cut off before it was
    // written), which file managers would show as a file. With claimedSince (the operation
    // recorded that it claims names, and began then, in seconds), an empty file under such a
    // record, made since and not the file itself, is the claim of a rename cut short, and goes
    // with its record.
    void ForgetCutShort(const std::string& path, const std::optional<FileIdentity>& file = {},
                        std::optional<std::int64_t> claimedSince = {}) const;

private:
    // Calls visit(trashed) for each name of the path's trashes that a put of it may have used.
    template <class Visit>
    void ForEachEntry(const std::string& path, Visit visit) const;
    int Prepare(const TrashFolder& folder) const;
    int MakeFolder(const std::string& folder, bool ours) const;
    TrashResult PutInto(const TrashFolder& folder, const std::string& path,
                        const std::string& resolved) const;
    int WriteRecord(const std::string& infoPath, const std::string& text) const;
    TransferResult RenameName(const std::string& from, const std::string& to) const;

    const SystemCalls& calls_;
    std::string homeTrash_;
    std::function<bool()> beforeClaiming_;
};

} // namespace pirela
