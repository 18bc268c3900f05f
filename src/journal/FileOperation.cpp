#include "journal/FileOperation.h"

#include <charconv>
#include <chrono>
#include <sys/stat.h>

namespace pirela {

namespace {

std::int64_t Now() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

template <class Number>
std::optional<Number> ParseNumber(std::string_view text) {
    Number value{};
    const char* end = text.data() + text.size();
    if (text.empty() || std::from_chars(text.data(), end, value).ptr != end) {
        return std::nullopt;
    }
    return value;
}

void AddIfSet(JournalRecord& record, std::string key, const std::string& value) {
    if (!value.empty()) {
        record.Add(std::move(key), value);
    }
}

void AddIfSet(JournalRecord& record, std::string key, const std::optional<FileIdentity>& value) {
    if (value) {
        record.Add(std::move(key), EncodeIdentity(*value));
    }
}

// Applies one field of a file; false when the key is not a file's.
bool ApplyFileField(OperationFile& file, std::string_view key, const std::string& value) {
    if (key == "to") {
        file.to = value;
    } else if (key == "identity") {
        file.identity = DecodeIdentity(value);
    } else if (key == "mode") {
        file.mode = ParseNumber<unsigned>(value);
    } else if (key == "standing") {
        file.standing = DecodeIdentity(value);
    } else if (key == "kept") {
        file.kept = value;
    } else if (key == "kept-info") {
        file.keptInfo = value;
    } else if (key == "placed") {
        file.placed = DecodeIdentity(value);
    } else if (key == "trashed") {
        file.trashed = value;
    } else if (key == "trashed-info") {
        file.trashedInfo = value;
    } else if (key == "moved") {
        file.moved = value != "0";
    } else if (key == "companion") {
        file.companion = value == "1";
    } else {
        return false;
    }
    return true;
}

void ApplyBeginField(FileOperation& operation, std::string_view key, const std::string& value) {
    if (key == "from") {
        operation.files.push_back({});
        operation.files.back().from = value;
        return;
    }
    if (!operation.files.empty() && ApplyFileField(operation.files.back(), key, value)) {
        return;
    }
    if (key == "kind") {
        operation.kind = value;
    } else if (key == "owner") {
        operation.owner = value;
    } else if (key == "undoes") {
        operation.undoes = value;
    } else if (key == "undone-kind") {
        operation.undoneKind = value;
    } else if (key == "folder") {
        operation.folder = value;
    }
}

// A step or end record: "file=N" says which file the fields after it belong to.
void ApplyLaterRecord(FileOperation& operation, const JournalRecord& record) {
    OperationFile* file = nullptr;
    for (const auto& [key, value] : record.fields) {
        if (key == "file") {
            const auto index = ParseNumber<std::size_t>(value);
            file = index && *index < operation.files.size() ? &operation.files[*index] : nullptr;
        } else if (key == "outcome" && record.type == JournalRecord::kEnd) {
            operation.outcome = value;
        } else if (key == "claims") {
            operation.claims = value == "1";
        } else if (key == "owner") {
            operation.owner = value; // taken over by another instance
        } else if (file != nullptr) {
            ApplyFileField(*file, key, value);
        }
    }
    if (record.type == JournalRecord::kEnd && operation.outcome.empty()) {
        operation.outcome = operation::kFailed; // an end must say something
    }
}

} // namespace

bool FileOperation::Replaces() const {
    for (const OperationFile& file : files) {
        if (file.standing) {
            return true;
        }
    }
    return false;
}

bool MayBeClaimOf(const FileOperation& operation, const std::string& path) {
    struct stat status {};
    // The two seconds: FAT's times are that coarse.
    return operation.claims && ::lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
           status.st_size == 0 && status.st_mtim.tv_sec + 2 >= operation.time;
}

std::string TemporaryNameFor(std::string_view operation, std::size_t index) {
    return ".pirela-" + std::string(operation) + "-" + std::to_string(index);
}

JournalRecord BeginRecord(const FileOperation& operation) {
    JournalRecord record = OperationRecord(operation, JournalRecord::kBegin);
    record.Add("kind", operation.kind);
    AddIfSet(record, "owner", operation.owner);
    AddIfSet(record, "undoes", operation.undoes);
    AddIfSet(record, "undone-kind", operation.undoneKind);
    AddIfSet(record, "folder", operation.folder);
    for (const OperationFile& file : operation.files) {
        record.Add("from", file.from);
        AddIfSet(record, "to", file.to);
        AddIfSet(record, "identity", file.identity);
        if (file.mode) {
            record.Add("mode", std::to_string(*file.mode));
        }
        AddIfSet(record, "standing", file.standing);
        AddIfSet(record, "kept", file.kept);
        AddIfSet(record, "kept-info", file.keptInfo);
        if (file.companion) {
            record.Add("companion", "1");
        }
    }
    return record;
}

JournalRecord OperationRecord(const FileOperation& operation, std::string_view type) {
    return JournalRecord{operation.id, std::string(type), Now(), {}};
}

JournalRecord ClaimsRecord(const FileOperation& operation) {
    JournalRecord record = OperationRecord(operation, "claims");
    record.Add("claims", "1");
    return record;
}

JournalRecord AdoptionRecord(const FileOperation& operation, const std::string& owner) {
    JournalRecord record = OperationRecord(operation, "adopted");
    record.Add("owner", owner);
    return record;
}

JournalRecord& AddFileFields(JournalRecord& record, std::size_t index, const OperationFile& file) {
    record.Add("file", std::to_string(index));
    AddIfSet(record, "kept", file.kept);
    AddIfSet(record, "kept-info", file.keptInfo);
    AddIfSet(record, "trashed", file.trashed);
    AddIfSet(record, "trashed-info", file.trashedInfo);
    AddIfSet(record, "placed", file.placed);
    if (!file.moved) {
        record.Add("moved", "0");
    }
    return record;
}

std::optional<FileOperation> DecodeOperation(const std::vector<JournalRecord>& records) {
    if (records.empty() || records.front().type != JournalRecord::kBegin) {
        return std::nullopt;
    }
    FileOperation operation;
    operation.id = records.front().operation;
    operation.time = records.front().time;
    for (const auto& [key, value] : records.front().fields) {
        ApplyBeginField(operation, key, value);
    }
    if (operation.kind.empty()) {
        return std::nullopt;
    }
    for (std::size_t i = 1; i < records.size(); ++i) {
        if (records[i].operation == operation.id && records[i].type != JournalRecord::kBegin) {
            ApplyLaterRecord(operation, records[i]);
        }
    }
    return operation;
}

std::string EncodeIdentity(const FileIdentity& identity) {
    std::string text;
    for (const std::int64_t part :
         {static_cast<std::int64_t>(identity.device), static_cast<std::int64_t>(identity.inode),
          identity.size, identity.modifiedSeconds, identity.modifiedNanoseconds,
          identity.changedSeconds, identity.changedNanoseconds}) {
        if (!text.empty()) {
            text += ':';
        }
        text += std::to_string(part);
    }
    return text;
}

std::optional<FileIdentity> DecodeIdentity(std::string_view text) {
    std::int64_t parts[7] = {};
    for (std::int64_t& part : parts) {
        const std::size_t colon = text.find(':');
        const auto number = ParseNumber<std::int64_t>(text.substr(0, colon));
        if (!number) {
            return std::nullopt;
        }
        part = *number;
        text = colon == std::string_view::npos ? std::string_view() : text.substr(colon + 1);
        if (colon == std::string_view::npos && &part != &parts[6]) {
            return std::nullopt;
        }
    }
    if (!text.empty()) {
        return std::nullopt;
    }
    return FileIdentity{static_cast<std::uint64_t>(parts[0]), static_cast<std::uint64_t>(parts[1]),
                        parts[2], parts[3], parts[4], parts[5], parts[6]};
}

} // namespace pirela
