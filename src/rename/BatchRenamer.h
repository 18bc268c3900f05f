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
// parking name (hidden, carrying the run's tag and the file's number: TemporaryNameFor), so that
// a new name may be the old name of another file of the set (renumbering in place), and then to
// its new name.
//
// No file is ever left under a parking name unless two things fail at once. Before the disk is
// touched each file's new name is checked: it must lie in the folder (no "/" in the prefix),
// fit the file system's name length, and not belong to a file outside the set. A file that
// fails a check stays where it is. A file whose parking fails stays under its old name and is
// not numbered. A file whose final move fails goes back to its old name; when another file of
// this run already took that name, that one goes back first.
//
// A run may be cancelled (the flag is polled between two files): every file then goes back to
// its old name, and the counts say that none was renamed.
class BatchRenamer {
public:
    // Aside: under a visible name of its own, neither its old nor its new one (see Unhide).
    enum class Place { Old, Parked, New, Aside };
    // One file of a run.
    struct Entry {
        std::string oldName;
        std::string newName;
        Place place = Place::Old;
        bool valid = false; // it may take its new name
        std::string asideName{}; // where it went, when Aside
    };

    explicit BatchRenamer(const SystemCalls& calls = SystemCalls::Libc()) : transfer_(calls) {}

    void CancelWhen(const std::atomic<bool>* cancel) { cancel_ = cancel; }
    // Runs before a rename claims a name with an empty file (FileTransfer::BeforeClaiming).
    void BeforeClaiming(ClaimHook hook) { transfer_.BeforeClaiming(std::move(hook)); }

    // Each file's new name, and whether it may take it.
    std::vector<Entry> Plan(const std::string& folder, const std::vector<std::string>& names,
                            const std::string& prefix, int digits, std::int64_t start) const;

    // Sets whether each entry may take its new name: a name of the folder, not too long, and
    // free or the old name of another entry.
    void Check(const std::string& folder, std::vector<Entry>& entries) const;

    // Renames the valid entries, which stand under their old names, parking entry i under
    // TemporaryNameFor(tag, i). allOrNothing: when any file could not take its new name, every
    // file goes back to its old one (taking a run back is one step).
    BatchRenameCounts Rename(const std::string& folder, std::vector<Entry>& entries,
                             std::string_view tag, bool allOrNothing = false) const;
    // Plans and renames, with a tag of the run's own.
    BatchRenameCounts Rename(const std::string& folder, const std::vector<std::string>& names,
                             const std::string& prefix, int digits, std::int64_t start) const;

    // Every entry back under its old name, through its parking name (a new name may be another
    // file's old one): after a cancel, or a run cut short whose places were found on the disk.
    void PutBack(const std::string& folder, std::vector<Entry>& entries,
                 std::string_view tag) const;

    // Every entry still parked (its old and new names both refused it) is given a visible name:
    // its old one, else its new one, else its old one with " (2)", " (3)"... before the
    // extension, as file managers name a second file. A hidden photo is as good as lost to the
    // user. Those left parked are those the disk would not rename at all.
    void Unhide(const std::string& folder, std::vector<Entry>& entries, std::string_view tag) const;

    // Takes away every empty file under one of the run's parking names (or such a name cut
    // short) that holds none of its files.
    void SweepClaims(const std::string& folder, const std::vector<Entry>& entries,
                     std::string_view tag) const;

    // prefix + serial padded with zeros to digits + "." + the old name's extension in lower case.
    static std::string NewName(std::string_view oldName, std::string_view prefix,
                               std::int64_t serial, int digits);

private:
    // Where each name of this run's files stands now: name -> entry index.
    using Occupants = std::unordered_map<std::string, std::size_t>;

    void Park(const std::string& folder, std::vector<Entry>& entries, std::string_view tag) const;
    void Number(const std::string& folder, std::vector<Entry>& entries,
                std::string_view tag) const;
    void RollBack(const std::string& folder, std::vector<Entry>& entries, std::size_t index,
                  Occupants& placed, std::string_view tag) const;

    bool MoveName(const std::string& folder, std::string_view from, std::string_view to) const;
    bool Cancelled() const { return cancel_ != nullptr && cancel_->load(); }

    FileTransfer transfer_;
    const std::atomic<bool>* cancel_ = nullptr;
};

} // namespace pirela
