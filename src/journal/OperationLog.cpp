#include "journal/OperationLog.h"

#include "journal/JournalLocation.h"

namespace pirela {

OperationLog::OperationLog(std::filesystem::path folder, const SystemCalls& calls)
    : folder_(std::move(folder)), journal_(JournalFileIn(folder_), calls) {}

bool OperationLog::Begin(FileOperation& operation) {
    if (!owner_) {
        owner_ = std::make_unique<JournalOwner>(folder_);
    }
    if (owner_->Token().empty()) {
        owner_.reset(); // tried again at the next operation
        return false;
    }
    operation.id = NewJournalOperationId();
    operation.owner = owner_->Token();
    operation.outcome.clear();
    return journal_.Append(BeginRecord(operation));
}

bool OperationLog::End(const FileOperation& operation, std::string_view outcome) {
    JournalRecord record = OperationRecord(operation, JournalRecord::kEnd);
    record.Add("outcome", std::string(outcome));
    for (std::size_t i = 0; i < operation.files.size(); ++i) {
        AddFileFields(record, i, operation.files[i]);
    }
    return journal_.Append(record);
}

bool OperationLog::OthersLeftWork() const {
    return JournalOwner::AnyDied(folder_, owner_ ? owner_->Token() : std::string());
}

} // namespace pirela
