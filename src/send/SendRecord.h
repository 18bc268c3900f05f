#pragma once

#include "platform/FileIdentity.h"

#include <optional>
#include <string>

namespace pirela {

// The last successful send, which the undo command reverses. It lives in memory only: opening
// another folder keeps it, and only the undo clears it.
struct SendRecord {
    bool available = false;
    std::string sourcePath;      // where the file was before the send
    std::string destinationPath; // where it went
    int mode = 1;                // the send mode in force: 1 copy, 0 move
    // The file the send left at the destination, as it was just after the send. Undoing a copy
    // deletes the destination only while it is still this very file, unchanged; undoing a move
    // moves back only this very file.
    std::optional<FileIdentity> sent;
    // The source's permission bits before the send: a file moved to a disk that invents its own
    // (FAT shows 0777) gets them back when the move is undone.
    std::optional<unsigned> sourceMode;
};

} // namespace pirela
