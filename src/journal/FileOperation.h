#pragma once

#include "journal/JournalRecord.h"
#include "platform/FileIdentity.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pirela {

// The kinds of file operation the journal holds.
namespace operation {
inline constexpr std::string_view kCopy = "copy";
inline constexpr std::string_view kMove = "move";
inline constexpr std::string_view kTrash = "trash";
inline constexpr std::string_view kRename = "rename"; // the batch rename of one folder
inline constexpr std::string_view kUndo = "undo";     // taking another operation back

// How an operation ended, as its end record says.
inline constexpr std::string_view kDone = "done";
inline constexpr std::string_view kFailed = "failed";       // nothing changed
inline constexpr std::string_view kCancelled = "cancelled"; // nothing changed, by the user's wish
inline constexpr std::string_view kRolledBack = "rolled-back"; // cut short, then taken back
inline constexpr std::string_view kSkipped = "skipped"; // an undo the user passed over
} // namespace operation

// One file an operation acts on. For a send, the file goes from `from` to `to`; for the trash,
// it goes from `from` to `kept`; for a batch rename, both are paths in the one folder.
struct OperationFile {
    OperationFile() = default;
    OperationFile(std::string from, std::string to, std::optional<FileIdentity> identity = {})
        : from(std::move(from)), to(std::move(to)), identity(identity) {}

    std::string from;
    std::string to;
    // The file at `from` when the operation began, and its permission bits.
    std::optional<FileIdentity> identity;
    std::optional<unsigned> mode;
    // What stood at `to` when the operation began: a file the user agreed to replace, or one
    // in the way that makes the operation fail. Never ours.
    std::optional<FileIdentity> standing;
    // Where that file went in the trash, and its trash record, once it went (for the trash:
    // where the operation's own file went).
    std::string kept;
    std::string keptInfo;
    // The file the operation left at `to`, read once it was there.
    std::optional<FileIdentity> placed;
    // Where the operation put the file at `from` itself in the trash, and its trash record: the
    // copy an undo took away.
    std::string trashed;
    std::string trashedInfo;
    // False when the operation ended without this file (one file of a batch rename failed).
    bool moved = true;
    // A sidecar that goes with the file before it: it never makes the operation fail, and one
    // that cannot follow (its place taken, changed since) stays where it is.
    bool companion = false;
};

// An operation as its records tell it: what it set out to do (its begin), what it reached (its
// steps) and how it ended.
struct FileOperation {
    std::string id;
    std::string kind;
    std::string owner;    // the mark of the instance that ran it
    std::int64_t time = 0;
    std::string undoes;   // an undo's: the operation it takes back
    std::string undoneKind; // an undo's: that operation's kind
    std::string folder;   // a batch rename's folder
    std::vector<OperationFile> files;
    std::string outcome;  // empty while the operation is open
    // Whether it may have claimed a name with an empty file of its own (on a disk without
    // no-replace renames or links), recorded before the first claim: only then may recovery
    // take an empty file at one of its names for a claim.
    bool claims = false;

    // What recovery left alone in doubt rather than remove (a file changed since, or not known
    // to be the operation's): the paths where it left them, and those it put in the trash
    // instead, by their paths there. Told to the user, never recorded.
    std::vector<std::string> leftInDoubt;
    std::vector<std::string> trashedInDoubt;

    bool Ended() const { return !outcome.empty(); }
    bool Replaces() const;
};

// Where an operation cut short stands once its recovery is over: as before it began, as after
// it, or still open (a file under a name of ours that could not be moved yet; tried again at
// the next start).
enum class RecoveredState { Before, After, Unresolved };

// How taking an operation back went, and the file it concerns.
enum class UndoStatus {
    Done,        // every file is back
    Changed,     // a file is no longer the one the operation left: nothing was touched
    Taken,       // a name a file must go back to is taken: nothing was touched
    Failed,      // the disk refused: nothing changed, or a file stayed where the operation put it
    NotRecorded, // the journal could not record the undo: nothing was touched
    Cancelled,   // the user cancelled it on the way: nothing changed
};
struct UndoResult {
    UndoStatus status = UndoStatus::Done;
    std::string path;
};

// The name beside a destination under which file `index` of the operation is written or parked
// before it takes its place: hidden, short, and carrying the operation's id, so that recovery
// finds it and never takes another program's file for it.
std::string TemporaryNameFor(std::string_view operation, std::size_t index);

// Whether the file at the path may be a claim the operation made (see FileOperation::claims): it
// recorded that it claims names, and the path holds an empty regular file made since it began.
// The caller still makes sure that it is none of the operation's files.
bool MayBeClaimOf(const FileOperation& operation, const std::string& path);
// Since when the operation's claims may stand: its beginning, when it recorded claiming.
inline std::optional<std::int64_t> ClaimedSince(const FileOperation& operation) {
    return operation.claims ? std::optional<std::int64_t>(operation.time) : std::nullopt;
}

// The begin record of the operation: everything recovery needs to finish it or take it back.
JournalRecord BeginRecord(const FileOperation& operation);
// A record of the operation's (a step, or its end), to which the caller adds fields.
JournalRecord OperationRecord(const FileOperation& operation, std::string_view type);
// The step that says the operation may claim names from now on (see FileOperation::claims).
JournalRecord ClaimsRecord(const FileOperation& operation);
// The step by which the instance of the owner mark takes an operation over (its recovery).
JournalRecord AdoptionRecord(const FileOperation& operation, const std::string& owner);
// Adds the fields of one file (its number, then those known) to a step or end record.
JournalRecord& AddFileFields(JournalRecord& record, std::size_t index, const OperationFile& file);

// The operation its records (in the order written, the begin first) describe; none when they
// do not begin with a well-formed begin record. Records of other operations, unknown fields
// and fields of files the begin did not name are passed over.
std::optional<FileOperation> DecodeOperation(const std::vector<JournalRecord>& records);

std::string EncodeIdentity(const FileIdentity& identity);
std::optional<FileIdentity> DecodeIdentity(std::string_view text);

} // namespace pirela
