#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The texts of the journal of file operations: undoing any operation, passing one over, and
// what recovery at the start did.
namespace pirela::res {

// "ファイル操作の記録 <journal> に書き込めないため、…": an operation that could not be recorded
// was not done.
std::string JournalUnwritableMessage(std::string_view journal);

// What an operation was, as the questions and reports name it.
std::string CopyDescription(std::string_view source, std::string_view destination);
std::string MoveDescription(std::string_view source, std::string_view destination);
std::string TrashDescription(std::string_view path);
std::string RenameDescription(std::string_view folder);
// Several photos of one operation, named by the first: "<first> ほか <count - 1> 個のファイル".
std::string SeveralFiles(std::string_view first, std::size_t count);
// The undo questions of an operation of several photos, described as above.
std::string UndoSeveralSentQuestion(std::string_view description, std::string_view folder,
                                    std::size_t count, bool copy);
std::string UndoSeveralTrashedQuestion(std::string_view description, std::size_t count);

// The undo questions of the operations beyond a plain send.
std::string UndoReplacingCopyQuestion(std::string_view source, std::string_view destination);
std::string UndoReplacingMoveQuestion(std::string_view source, std::string_view destination);
std::string UndoTrashQuestion(std::string_view path);
// first and last: the new names of the first and the last file the rename moved.
std::string UndoRenameQuestion(std::string_view folder, std::string_view first,
                               std::string_view last, std::size_t count);

// When an undo did not take the operation back.
std::string TrashGoneMessage(std::string_view path, std::string_view trashed);
std::string TrashPlaceTakenMessage(std::string_view path);
std::string TrashNotRestoredMessage(std::string_view path);
std::string RenameChangedMessage(std::string_view folder, std::string_view name);
std::string RenamePlaceTakenMessage(std::string_view folder, std::string_view name);
std::string RenameNotUndoneMessage(std::string_view folder);
// Asked after an undo that could not be done: the next undo then takes the operation before.
inline constexpr const char* kSkipUndoQuestion =
    "この操作は取り消さずに飛ばし、次の [元に戻す] ではその前の操作を取り消しますか?";

// Added to a failed send's message when the file it was to replace stayed in the trash.
std::string ReplacedLeftInTrashLine(std::string_view destination, std::string_view trashed);

// Added to "<Q> を削除できませんでした。" when the copy stays because its original changed.
std::string OriginalChangedLine(std::string_view original);

// What recovery left alone in doubt, added to its line for the operation.
std::string LeftInDoubtLine(std::string_view path);
std::string TrashedInDoubtLine(std::string_view trashed);

// The undo command's prompt, naming the operation it takes back.
std::string UndoPrompt(std::string_view description);

// What recovery did with an operation cut short, one line each, under one heading.
inline constexpr const char* kRecoveryHeading =
    "前回 Pirela が終了したときに途中だったファイル操作を、次のように処理しました。";
std::string FinishedLine(std::string_view description);
std::string NotDoneLine(std::string_view description);
// Not done, but with files left in doubt (told after it), so not "as before".
std::string NotDoneLeavingLine(std::string_view description);
std::string UndoFinishedLine(std::string_view description);
std::string UndoNotDoneLine(std::string_view description);
std::string UnresolvedLine(std::string_view description);
// The last line when more operations were dealt with than the message lists.
std::string MoreOperationsLine(std::size_t more);

} // namespace pirela::res
