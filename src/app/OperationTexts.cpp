#include "app/OperationTexts.h"

#include "common/PathRules.h"
#include "res/JournalMessages.h"
#include "res/Messages.h"

namespace pirela {

namespace {

constexpr std::size_t kNamedAtMost = 10;

bool KeptAFile(const FileOperation& operation) {
    for (const OperationFile& file : operation.files) {
        if (!file.kept.empty()) {
            return true;
        }
    }
    return false;
}

std::string StateLine(const RecoveredOperation& recovered, bool doubts) {
    const std::string description = DescribeOperation(recovered.operation);
    const bool undo = recovered.operation.kind == operation::kUndo;
    switch (recovered.state) {
    case RecoveredState::After:
        return undo ? res::UndoFinishedLine(description) : res::FinishedLine(description);
    case RecoveredState::Before:
        return undo     ? res::UndoNotDoneLine(description)
               : doubts ? res::NotDoneLeavingLine(description)
                        : res::NotDoneLine(description);
    case RecoveredState::Unresolved:
        break;
    }
    return res::UnresolvedLine(description);
}

// The operation's line, then each file it left in doubt.
std::string RecoveryLine(const RecoveredOperation& recovered) {
    const FileOperation& operation = recovered.operation;
    std::string line =
        StateLine(recovered, !operation.leftInDoubt.empty() || !operation.trashedInDoubt.empty());
    for (const std::string& path : operation.leftInDoubt) {
        line += res::LeftInDoubtLine(path);
    }
    for (const std::string& trashed : operation.trashedInDoubt) {
        line += res::TrashedInDoubtLine(trashed);
    }
    return line;
}

// The photos an operation acts on, its companions (sidecars) left out.
std::size_t PhotoCount(const FileOperation& operation) {
    std::size_t count = 0;
    for (const OperationFile& file : operation.files) {
        count += file.companion ? 0 : 1;
    }
    return count;
}

// The operation's file that a refused undo names, the first when none does.
const OperationFile& FileNamed(const FileOperation& operation, const std::string& path) {
    for (const OperationFile& file : operation.files) {
        if (file.from == path || file.to == path || file.kept == path) {
            return file;
        }
    }
    return operation.files.front();
}

} // namespace

std::string DescribeOperation(const FileOperation& operation) {
    const bool undo = operation.kind == operation::kUndo;
    const std::string_view kind = undo ? operation.undoneKind : operation.kind;
    if (kind == operation::kRename || operation.files.empty()) {
        return res::RenameDescription(operation.folder);
    }
    // An undo's files go the other way.
    const OperationFile& file = operation.files.front();
    const std::string& from = undo ? file.to : file.from;
    const std::string& to = undo ? file.from : file.to;
    if (const std::size_t photos = PhotoCount(operation); photos > 1) {
        // Several photos: the first one's name, and the folder they went to.
        const std::string several = res::SeveralFiles(FileNameOf(from), photos);
        if (kind == operation::kTrash) {
            return res::TrashDescription(several);
        }
        const std::string folder = FolderOf(to);
        return kind == operation::kCopy ? res::CopyDescription(several, folder)
                                        : res::MoveDescription(several, folder);
    }
    if (kind == operation::kTrash) {
        return res::TrashDescription(from);
    }
    return kind == operation::kCopy ? res::CopyDescription(from, to)
                                    : res::MoveDescription(from, to);
}

std::string BriefDescription(const FileOperation& operation) {
    if (operation.kind == operation::kRename || operation.files.empty()) {
        return res::RenameDescription(LastPartOf(operation.folder));
    }
    const OperationFile& file = operation.files.front();
    const std::size_t photos = PhotoCount(operation);
    const std::string name = photos > 1 ? res::SeveralFiles(FileNameOf(file.from), photos)
                                        : std::string(FileNameOf(file.from));
    if (operation.kind == operation::kTrash) {
        return res::TrashDescription(name);
    }
    const std::string folder = FolderOf(file.to);
    return operation.kind == operation::kCopy ? res::CopyDescription(name, LastPartOf(folder))
                                              : res::MoveDescription(name, LastPartOf(folder));
}

std::string UndoQuestion(const FileOperation& operation) {
    const OperationFile& file = operation.files.front();
    if (const std::size_t photos = PhotoCount(operation);
        photos > 1 && operation.kind != operation::kRename) {
        if (operation.kind == operation::kTrash) {
            return res::UndoSeveralTrashedQuestion(DescribeOperation(operation), photos);
        }
        return res::UndoSeveralSentQuestion(DescribeOperation(operation), FolderOf(file.to), photos,
                                            operation.kind == operation::kCopy);
    }
    if (operation.kind == operation::kTrash) {
        return res::UndoTrashQuestion(file.from);
    }
    if (operation.kind == operation::kRename) {
        std::vector<const OperationFile*> moved;
        for (const OperationFile& each : operation.files) {
            if (each.moved && !each.companion) {
                moved.push_back(&each);
            }
        }
        return res::UndoRenameQuestion(operation.folder,
                                       moved.empty() ? "" : FileNameOf(moved.front()->to),
                                       moved.empty() ? "" : FileNameOf(moved.back()->to),
                                       moved.size());
    }
    const bool copy = operation.kind == operation::kCopy;
    if (KeptAFile(operation)) {
        return copy ? res::UndoReplacingCopyQuestion(file.from, file.to)
                    : res::UndoReplacingMoveQuestion(file.from, file.to);
    }
    return copy ? res::UndoCopyQuestion(file.from, file.to)
                : res::UndoMoveQuestion(file.from, file.to);
}

std::string UndoRefusal(const FileOperation& operation, const UndoResult& result,
                        const std::string& journal) {
    if (result.status == UndoStatus::NotRecorded) {
        return res::JournalUnwritableMessage(journal);
    }
    const OperationFile& file = FileNamed(operation, result.path);
    if (operation.kind == operation::kTrash) {
        switch (result.status) {
        case UndoStatus::Changed:
            return res::TrashGoneMessage(file.from, file.kept);
        case UndoStatus::Taken:
            return res::TrashPlaceTakenMessage(file.from);
        default:
            return res::TrashNotRestoredMessage(file.from);
        }
    }
    if (operation.kind == operation::kRename) {
        switch (result.status) {
        case UndoStatus::Changed:
            return res::RenameChangedMessage(operation.folder, result.path);
        case UndoStatus::Taken:
            return res::RenamePlaceTakenMessage(operation.folder, result.path);
        default:
            return res::RenameNotUndoneMessage(operation.folder);
        }
    }
    if (operation.kind == operation::kCopy) {
        const bool original = result.status == UndoStatus::Changed && result.path == file.from;
        return res::CannotDeleteMessage(file.to) +
               (original ? res::OriginalChangedLine(file.from) : std::string());
    }
    return result.status == UndoStatus::Changed ? res::NotTheMovedFileMessage(file.to, file.from)
                                                : res::CannotMoveBackMessage(file.to, file.from);
}

std::string RecoveryMessage(const std::vector<RecoveredOperation>& recovered) {
    if (recovered.empty()) {
        return {};
    }
    std::string text = res::kRecoveryHeading;
    for (std::size_t i = 0; i < recovered.size() && i < kNamedAtMost; ++i) {
        text += "\n\n" + RecoveryLine(recovered[i]);
    }
    if (recovered.size() > kNamedAtMost) {
        text += "\n\n" + res::MoreOperationsLine(recovered.size() - kNamedAtMost);
    }
    return text;
}

} // namespace pirela
