#pragma once

#include "journal/FileOperation.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

namespace pirela {

// The newest operation of the journal's text that ended done and that no undo has taken back
// or passed over (an undo still running counts as taking it back); none when there is none.
// Undos themselves are never offered. Only the end of the journal is decoded: the walk goes
// back from the last record and stops at the first operation it can offer.
std::optional<FileOperation> LatestUndoable(std::string_view journal);

// What the undo command offers, read from the journal whenever the journal has changed (this
// instance's operations or another's), so that asking often costs a file status only.
class OperationHistory {
public:
    explicit OperationHistory(std::filesystem::path journalFile) : file_(std::move(journalFile)) {}

    const std::optional<FileOperation>& Latest();

private:
    struct Stamp {
        std::uint64_t inode = 0;
        std::int64_t size = 0;
        std::int64_t modifiedSeconds = 0;
        std::int64_t modifiedNanoseconds = 0;
        bool operator==(const Stamp&) const = default;
    };

    std::filesystem::path file_;
    std::optional<Stamp> read_; // the journal as it was when latest_ was read
    std::optional<FileOperation> latest_;
};

} // namespace pirela
