#include "rename/RenamePlaces.h"

#include "common/PathRules.h"

#include <algorithm>

namespace pirela {

namespace {

using Place = BatchRenamer::Place;

std::string OldName(const OperationFile& file) {
    return std::string(FileNameOf(file.from));
}

std::string NewName(const OperationFile& file) {
    return std::string(FileNameOf(file.to));
}

} // namespace

RenamePlaces::RenamePlaces(const FileOperation& operation, const SystemCalls& calls)
    : operation_(operation), disk_(DiskKindOf(operation.folder, calls)),
      places_(operation.files.size()), settled_(operation.files.size(), false) {
    FindParked(calls);
    FindUnderNames();
}

const std::optional<FileIdentity>& RenamePlaces::At(const std::string& name) {
    const auto [at, added] = seen_.try_emplace(name);
    if (added) {
        at->second = FileIdentity::Of(JoinPath(operation_.folder, name));
    }
    return at->second;
}

bool RenamePlaces::Matches(std::size_t i, const std::string& name) {
    return IsSameFileOn(disk_, operation_.files[i].identity, At(name));
}

// A parking name holds its file, unless what stands there is a second name of the file found
// under its old or new name (a link made before that name went), or, beside it, the empty
// claim of a rename cut short (only a run that recorded claiming makes one).
void RenamePlaces::FindParked(const SystemCalls& calls) {
    for (std::size_t i = 0; i < operation_.files.size(); ++i) {
        const OperationFile& file = operation_.files[i];
        const std::string parking = TemporaryNameFor(operation_.id, i);
        const std::optional<FileIdentity> there = At(parking);
        if (!there) {
            continue;
        }
        const bool secondName = SameFile(At(OldName(file)), there) || SameFile(At(NewName(file)), there);
        const bool claim = operation_.claims && there->size == 0 && file.identity &&
                           file.identity->size > 0 &&
                           (Matches(i, OldName(file)) || Matches(i, NewName(file)));
        if (secondName || claim) {
            calls.unlink(JoinPath(operation_.folder, parking).c_str());
            seen_[parking].reset();
            continue;
        }
        places_[i] = Place::Parked;
        settled_[i] = true;
        held_[parking] = i;
    }
}

void RenamePlaces::FindUnderNames() {
    for (;;) {
        bool changed = false;
        std::optional<std::size_t> undecided;
        for (std::size_t i = 0; i < operation_.files.size(); ++i) {
            if (settled_[i]) {
                continue;
            }
            const std::vector<std::string> names = FreeMatches(i);
            if (names.size() <= 1) {
                if (names.empty()) {
                    settled_[i] = true; // nowhere to be found
                } else {
                    Put(i, names.front());
                }
                changed = true;
            } else if (!undecided) {
                undecided = i;
            }
        }
        if (!changed && !undecided) {
            return;
        }
        if (!changed) {
            Put(*undecided, OldName(operation_.files[*undecided])); // where a run begins
        }
    }
}

std::vector<std::string> RenamePlaces::FreeMatches(std::size_t i) {
    const OperationFile& file = operation_.files[i];
    std::vector<std::string> names;
    for (const std::string& name : {OldName(file), NewName(file)}) {
        const auto holder = held_.find(name);
        const bool free = holder == held_.end() || holder->second == i;
        if (free && Matches(i, name) &&
            std::find(names.begin(), names.end(), name) == names.end()) {
            names.push_back(name);
        }
    }
    return names;
}

void RenamePlaces::Put(std::size_t i, const std::string& name) {
    places_[i] = name == NewName(operation_.files[i]) ? Place::New : Place::Old;
    settled_[i] = true;
    held_[name] = i;
}

std::vector<std::string> RenamePlaces::UnheldNames() {
    std::vector<std::string> names;
    for (const OperationFile& file : operation_.files) {
        for (const std::string& name : {OldName(file), NewName(file)}) {
            if (At(name) && held_.count(name) == 0 &&
                std::find(names.begin(), names.end(), name) == names.end()) {
                names.push_back(name);
            }
        }
    }
    return names;
}

} // namespace pirela
