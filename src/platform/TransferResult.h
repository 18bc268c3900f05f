#pragma once

namespace pirela {

// How a file operation ended. The callers choose their message by it; the system's error number
// stays for anything finer.
enum class TransferStatus {
    Ok,
    Exists,          // something stands at the destination and replacing it was not confirmed
    SameFile,        // source and destination are one file, reached by two names
    NoSpace,         // the destination's file system is full, or a file-size limit was hit
    CrossDevice,     // the two paths lie on different file systems
    Permission,      // refused at the source's end, or a write-protected file was to be replaced
    VanishedSource,  // the source no longer exists
    NotAFile,        // the source is a folder, a pipe or a device: only regular files travel
    DestinationGone, // the destination folder is no longer there
    DestinationReadOnly, // nothing may be written into the destination folder
    NameNotAllowed,      // the destination's file system does not accept the name
    Cancelled,           // the user cancelled it: nothing changed
    NotRecorded,         // the journal of file operations could not record it: nothing changed
    Other,
};

struct TransferResult {
    TransferStatus status = TransferStatus::Ok;
    int error = 0; // errno of the failing call, 0 when the status says it all

    bool Succeeded() const { return status == TransferStatus::Ok; }

    static TransferResult Success() { return {}; }
    // The status that the error number of a failed call stands for.
    static TransferResult FromError(int error);
};

} // namespace pirela
