// Arbitrary bytes as a journal of file operations: every line either decodes into a record
// that encodes back to the same line, or is left out; reading and scanning the whole file never
// crash and agree on the open operations; the operations its records describe, and the one the
// undo would offer, are read without a crash, and only an operation that can be undone is
// offered.
#include "journal/FileOperation.h"
#include "journal/JournalFile.h"
#include "journal/OperationHistory.h"

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::size_t lines = 0;
    for (std::string_view rest = bytes; !rest.empty();) {
        const std::size_t end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (const auto record = pirela::DecodeJournalRecord(line)) {
            ++lines;
            if (pirela::EncodeJournalRecord(*record) != std::string(line) + '\n') {
                std::abort();
            }
        }
    }
    static const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("pirela-journal-fuzz-" + std::to_string(::getpid()));
    std::ofstream(file, std::ios::binary | std::ios::trunc).write(bytes.data(), bytes.size());
    const pirela::JournalFile journal(file);
    const std::vector<pirela::JournalRecord> records = journal.ReadAll();
    if (records.size() != lines || journal.Scan().unfinished.size() > lines) {
        std::abort();
    }
    pirela::DecodeOperation(records);
    if (const auto offered = pirela::LatestUndoable(bytes)) {
        if (offered->kind == pirela::operation::kUndo || offered->outcome != pirela::operation::kDone) {
            std::abort();
        }
    }
    return 0;
}
