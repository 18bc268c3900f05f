#pragma once

#include "platform/FileTransfer.h"
#include "platform/SystemCalls.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pirela {

struct BatchRenameCounts {
    int succeeded = 0;
    int failed = 0;
};

// Gives the files of one folder the names prefix + zero-padded serial + "." + the lower-cased
// extension, serials counting up from start in the order given. Every file first moves to a
// parking name ("_%%tmp_" + its name), so that a new name may be the old name of another file
// of the set (renumbering in place), and then to its new name.
//
// No file is ever left under a parking name unless two things fail at once. Before the disk is
// touched each file's new name is checked: it must lie in the folder (no "/" in the prefix),
// fit the file system's name length together with the parking name, and not belong to a file
// outside the set. A file that fails a check stays where it is. A file whose parking fails
// (say a leftover "_%%tmp_" name is in the way) stays under its old name and is not numbered,
// so a leftover is never taken for it. A file whose final move fails goes back to its old
// name; when another file of this run already took that name, that one goes back first.
//
// A run may be cancelled (the flag is polled between two files): every file then goes back to
// its old name, and the counts say that none was renamed.
class BatchRenamer {
public:
    explicit BatchRenamer(const SystemCalls& calls = SystemCalls::Libc()) : transfer_(calls) {}

    void CancelWhen(const std::atomic<bool>* cancel) { cancel_ = cancel; }

    BatchRenameCounts Rename(const std::string& folder, const std::vector<std::string>& names,
                             const std::string& prefix, int digits, std::int64_t start) const;

    // prefix + serial padded with zeros to digits + "." + the old name's extension in lower case.
    static std::string NewName(std::string_view oldName, std::string_view prefix,
                               std::int64_t serial, int digits);

    static constexpr std::string_view kParkingPrefix = "_%%tmp_";

private:
    enum class Place { Old, Parked, New };
    struct Entry {
        std::string oldName;
        std::string newName;
        Place place = Place::Old;
        bool valid = false;
    };
    // Where each name of this run's files stands now: name -> entry index.
    using Occupants = std::unordered_map<std::string, std::size_t>;

    std::vector<Entry> Plan(const std::string& folder, const std::vector<std::string>& names,
                            const std::string& prefix, int digits, std::int64_t start) const;
    void Park(const std::string& folder, std::vector<Entry>& entries) const;
    void Number(const std::string& folder, std::vector<Entry>& entries) const;
    void RollBack(const std::string& folder, std::vector<Entry>& entries, std::size_t index,
                  Occupants& placed) const;
    // After a cancel: every file of the run under its old name again, through its parking name
    // (a new name may be another file's old one).
    void PutBack(const std::string& folder, std::vector<Entry>& entries) const;
    bool MoveName(const std::string& folder, std::string_view from, std::string_view to) const;
    bool Cancelled() const { return cancel_ != nullptr && cancel_->load(); }

    FileTransfer transfer_;
    const std::atomic<bool>* cancel_ = nullptr;
};

} // namespace pirela
