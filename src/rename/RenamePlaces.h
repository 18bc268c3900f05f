#pragma once

#include "journal/FileOperation.h"
#include "platform/DiskKind.h"
#include "platform/SystemCalls.h"
#include "rename/BatchRenamer.h"

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace pirela {

// Where each file of a batch rename cut short stands now: under its parking name, its old name
// or its new name, or nowhere to be found. Names come first: a parking name is the operation's
// own, so whatever non-empty file stands there is the file of that number. Under an old or new
// name a file is told by its identity as the disk keeps it (after a card was replugged its inode
// number is new, so by size and modification time); a name that is one file's old name and
// another's new one goes to the file it matches, and when it matches both, the places of the
// others decide (a file found under its parking name is not also here), and at the last the
// file whose old name it is, which is where a run begins. A wrong guess there can only swap
// the names of two files that look alike; it never loses one.
class RenamePlaces {
public:
    RenamePlaces(const FileOperation& operation, const SystemCalls& calls);

    // File i's place; none when it is nowhere.
    const std::optional<BatchRenamer::Place>& Of(std::size_t i) const { return places_[i]; }

    // The names of the run that hold none of its files: claims, the user's own files, or
    // nothing.
    std::vector<std::string> UnheldNames();

private:
    void FindParked(const SystemCalls& calls);
    void FindUnderNames();
    // File i's names (old, new) that hold a file matching it and are not held by another.
    std::vector<std::string> FreeMatches(std::size_t i);
    void Put(std::size_t i, const std::string& name);
    const std::optional<FileIdentity>& At(const std::string& name);
    bool Matches(std::size_t i, const std::string& name);

    const FileOperation& operation_;
    DiskKind disk_;
    std::vector<std::optional<BatchRenamer::Place>> places_;
    std::vector<bool> settled_;
    std::unordered_map<std::string, std::optional<FileIdentity>> seen_; // name -> identity now
    std::unordered_map<std::string, std::size_t> held_;                 // name -> file
};

} // namespace pirela
