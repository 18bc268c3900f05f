#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pirela {

// One record of the journal of file operations: an operation announces what it is about to do
// ("begin"), each later step where it has several, and that it is over ("end"). A record is one
// line of text: a check sum over the rest of the line, the operation's id, the record's type,
// its time, then fields. Field values are bytes (paths are never re-encoded): every byte that
// is not printable ASCII, and the blank, '%' and '=', is written as %XX.
struct JournalRecord {
    // The types that delimit an operation; other types are its steps.
    static constexpr std::string_view kBegin = "begin";
    static constexpr std::string_view kEnd = "end";

    std::string operation;   // the operation's id (see NewJournalOperationId)
    std::string type;        // lower-case letters, digits and '-'
    std::int64_t time = 0;   // seconds since the epoch
    std::vector<std::pair<std::string, std::string>> fields; // key (as type), value (bytes)

    // The value of the first field of that key; none when there is none.
    std::optional<std::string_view> Field(std::string_view key) const;
    JournalRecord& Add(std::string key, std::string value);

    bool operator==(const JournalRecord&) const = default;
};

// The record as one line, its newline included.
std::string EncodeJournalRecord(const JournalRecord& record);

// The record of a line (without its newline); none when the line is damaged (a record cut off
// by a crash, a wrong check sum, a malformed field), of a version this program does not know,
// or written otherwise than EncodeJournalRecord writes it (one spelling per record, so that a
// record read back and written again is the same line).
std::optional<JournalRecord> DecodeJournalRecord(std::string_view line);

// The operation id and the type of a line, without checking or decoding the rest: enough to
// tell which operations are over. Both empty for a line that is not a record.
std::pair<std::string_view, std::string_view> PeekJournalRecord(std::string_view line);

// Whether the line is a whole record, by its version and check sum only.
bool IsWholeJournalRecord(std::string_view line);

// A new operation's id: 16 hexadecimal digits from the system's random source, so that two
// instances of the program never choose the same one. Temporary names carry it.
std::string NewJournalOperationId();

} // namespace pirela
