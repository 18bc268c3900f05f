#include "journal/OperationLog.h"

#include "common/PathRules.h"
#include "journal/JournalLocation.h"
#include "platform/FolderFlush.h"

#include <algorithm>

namespace pirela {

OperationLog::OperationLog(std::filesystem::path folder, const SystemCalls& calls)
    : folder_(std::move(folder)), calls_(calls), journal_(JournalFileIn(folder_), calls) {}

bool OperationLog::EnsureOwner() {
    if (!owner_) {
        owner_ = std::make_unique<JournalOwner>(folder_);
    }
    if (owner_->Token().empty()) {
        owner_.reset(); // tried again at the next operation
        return false;
    }
    return true;
}

bool OperationLog::Begin(FileOperation& operation, const std::atomic<bool>* cancel) {
    if (!EnsureOwner()) {
        return false;
    }
    operation.id = NewJournalOperationId();
    operation.owner = owner_->Token();
    operation.outcome.clear();
    operation.claims = false;
    const JournalRecord begin = BeginRecord(operation);
    operation.time = begin.time;
    return journal_.Append(begin, cancel);
}

bool OperationLog::Adopt(FileOperation& operation) {
    if (!EnsureOwner() || !journal_.Append(AdoptionRecord(operation, owner_->Token()))) {
        return false;
    }
    operation.owner = owner_->Token();
    return true;
}

std::function<bool()> OperationLog::ClaimRecorder(FileOperation& operation) {
    return [this, &operation] {
        if (!operation.claims) {
            operation.claims = journal_.Append(ClaimsRecord(operation));
        }
        return operation.claims;
    };
}

std::vector<std::filesystem::path> OperationLog::FoldersChangedBy(const FileOperation& operation) {
    std::vector<std::filesystem::path> folders;
    const auto add = [&folders](const std::string& path) {
        if (!path.empty()) {
            folders.emplace_back(FolderOf(path));
        }
    };
    if (!operation.folder.empty()) {
        folders.emplace_back(operation.folder);
    }
    for (const OperationFile& file : operation.files) {
        add(file.to);
        if (operation.kind != operation::kCopy) {
            add(file.from);
        }
        for (const std::string* kept :
             {&file.kept, &file.keptInfo, &file.trashed, &file.trashedInfo}) {
            add(*kept);
        }
    }
    std::sort(folders.begin(), folders.end());
    folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
    return folders;
}

bool OperationLog::End(const FileOperation& operation, std::string_view outcome) {
    // A folder that cannot be flushed does not keep the end back: the disk then holds what it
    // holds, and the end at least says what was done.
    for (const std::filesystem::path& folder : FoldersChangedBy(operation)) {
        FlushFolder(folder, calls_);
    }
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
