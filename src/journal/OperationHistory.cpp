#include "journal/OperationHistory.h"

#include "common/AsciiText.h"
#include "journal/JournalFile.h"

#include <sys/stat.h>

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace pirela {

namespace {

// Whether an undo that ended so has taken its operation out of the user's reach.
bool TakesBack(std::string_view outcome) {
    return outcome.empty() || outcome == operation::kDone || outcome == operation::kSkipped;
}

} // namespace

std::optional<FileOperation> LatestUndoable(std::string_view journal) {
    const std::vector<std::string_view> lines = LinesOf(journal);
    std::unordered_map<std::string_view, std::string> outcomes; // of the operations ended
    std::unordered_map<std::string_view, std::vector<std::size_t>> later; // their later lines
    std::unordered_set<std::string> takenBack;
    for (std::size_t i = lines.size(); i-- > 0;) {
        const auto [id, type] = PeekJournalRecord(lines[i]);
        if (id.empty()) {
            continue;
        }
        if (type != JournalRecord::kBegin) {
            if (type == JournalRecord::kEnd && !outcomes.count(id)) {
                if (const auto end = DecodeJournalRecord(lines[i])) {
                    outcomes[id] = std::string(end->Field("outcome").value_or(operation::kFailed));
                }
            }
            later[id].push_back(i);
            continue;
        }
        auto begin = DecodeJournalRecord(lines[i]);
        if (!begin) {
            continue;
        }
        const auto outcome = outcomes.find(id);
        const std::string_view ended =
            outcome == outcomes.end() ? std::string_view() : std::string_view(outcome->second);
        const std::string_view kind = begin->Field("kind").value_or("");
        if (kind == operation::kUndo) {
            if (TakesBack(ended)) {
                takenBack.emplace(begin->Field("undoes").value_or(""));
            }
            continue;
        }
        const bool undoable = kind == operation::kCopy || kind == operation::kMove ||
                              kind == operation::kTrash || kind == operation::kRename;
        if (!undoable || ended != operation::kDone || takenBack.count(std::string(id))) {
            continue;
        }
        std::vector<JournalRecord> records{std::move(*begin)};
        const std::vector<std::size_t>& after = later[id];
        for (auto at = after.rbegin(); at != after.rend(); ++at) {
            if (auto record = DecodeJournalRecord(lines[*at])) {
                records.push_back(std::move(*record));
            }
        }
        if (auto decoded = DecodeOperation(records)) {
            return decoded;
        }
    }
    return std::nullopt;
}

const std::optional<FileOperation>& OperationHistory::Latest() {
    struct stat status {};
    const Stamp now = ::stat(file_.c_str(), &status) == 0
                          ? Stamp{status.st_ino, status.st_size, status.st_mtim.tv_sec,
                                  status.st_mtim.tv_nsec}
                          : Stamp{};
    if (read_ != now) {
        latest_ = LatestUndoable(JournalFile(file_).ReadBytes());
        read_ = now;
    }
    return latest_;
}

} // namespace pirela
