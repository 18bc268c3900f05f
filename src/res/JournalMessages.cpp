#include "res/JournalMessages.h"

namespace pirela::res {

namespace {

std::string Text(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (const std::string_view part : parts) {
        text += part;
    }
    return text;
}

} // namespace

std::string JournalUnwritableMessage(std::string_view journal) {
    return Text({"ファイル操作の記録 ", journal,
                 " に書き込めないため、操作を行いませんでした。ディスクの空き容量と書き込み権限を"
                 "確認してください。"});
}

std::string CopyDescription(std::string_view source, std::string_view destination) {
    return Text({source, " から ", destination, " へのコピー"});
}

std::string MoveDescription(std::string_view source, std::string_view destination) {
    return Text({source, " から ", destination, " への移動"});
}

std::string TrashDescription(std::string_view path) {
    return Text({path, " のごみ箱への移動"});
}

std::string RenameDescription(std::string_view folder) {
    return Text({folder, " の一括リネーム"});
}

std::string UndoReplacingCopyQuestion(std::string_view source, std::string_view destination) {
    return Text({CopyDescription(source, destination), "を取り消します。従って ", destination,
                 " は削除され、上書きされる前の ", destination,
                 " がごみ箱から戻されます。実行しますか ?"});
}

std::string UndoReplacingMoveQuestion(std::string_view source, std::string_view destination) {
    return Text({MoveDescription(source, destination), "を取り消します。従って ", destination,
                 " から ", source, " へファイルを移動し、上書きされる前の ", destination,
                 " をごみ箱から戻します。実行しますか ?"});
}

std::string SeveralFiles(std::string_view first, std::size_t count) {
    return Text({first, " ほか ", std::to_string(count - 1), " 個のファイル"});
}

std::string UndoSeveralSentQuestion(std::string_view description, std::string_view folder,
                                    std::size_t count, bool copy) {
    const std::string files = std::to_string(count) + " 個のファイル";
    return copy ? Text({description, "を取り消します。従って ", folder, " の ", files,
                        "は削除されます。実行しますか ?"})
                : Text({description, "を取り消します。従って ", folder, " から ", files,
                        "を元の場所へ移動します。実行しますか ?"});
}

std::string UndoSeveralTrashedQuestion(std::string_view description, std::size_t count) {
    return Text({description, "を取り消します。従って ", std::to_string(count),
                 " 個のファイルはごみ箱から元の場所に戻されます。実行しますか ?"});
}

std::string UndoTrashQuestion(std::string_view path) {
    return Text({TrashDescription(path), "を取り消します。従って ", path,
                 " はごみ箱から元の場所に戻されます。実行しますか ?"});
}

std::string UndoRenameQuestion(std::string_view folder, std::string_view first,
                               std::string_view last, std::size_t count) {
    const std::string files = count == 1 ? Text({first, " は"})
                                         : Text({first, " から ", last, " までの ",
                                                 std::to_string(count), " 個のファイルは"});
    return Text({RenameDescription(folder), "を取り消します。従って ", files,
                 "元の名前に戻されます。実行しますか ?"});
}

std::string TrashGoneMessage(std::string_view path, std::string_view trashed) {
    return Text({TrashNotRestoredMessage(path), "ごみ箱の ", trashed,
                 " は、ごみ箱に移した後で削除されたか、別のファイルに置き換えられています。"});
}

std::string TrashPlaceTakenMessage(std::string_view path) {
    return Text({TrashNotRestoredMessage(path), path, " には既に別のファイルがあります。"});
}

std::string TrashNotRestoredMessage(std::string_view path) {
    return Text({path, " をごみ箱から戻せませんでした。"});
}

std::string RenameChangedMessage(std::string_view folder, std::string_view name) {
    return Text({RenameNotUndoneMessage(folder), name,
                 " はリネームした後で削除されたか、別のファイルに置き換えられています。"});
}

std::string RenamePlaceTakenMessage(std::string_view folder, std::string_view name) {
    return Text({RenameNotUndoneMessage(folder), "元の名前 ", name,
                 " には既に別のファイルがあります。"});
}

std::string RenameNotUndoneMessage(std::string_view folder) {
    return Text({RenameDescription(folder), "を取り消せませんでした。"});
}

std::string ReplacedLeftInTrashLine(std::string_view destination, std::string_view trashed) {
    return Text({"\n\n置き換えるはずだった ", destination, " はごみ箱 (", trashed,
                 ") に移したまま、元に戻せませんでした。"});
}

std::string OriginalChangedLine(std::string_view original) {
    return Text({"元のファイル ", original,
                 " がコピーした後で変更されたか、なくなっているため、コピーが元の状態の唯一のファイル"
                 "である可能性があります。"});
}

std::string LeftInDoubtLine(std::string_view path) {
    return Text({path,
                 " は操作の途中で変更されたか、この操作のファイルと確かめられないため、消さずに残しまし"
                 "た。"});
}

std::string TrashedInDoubtLine(std::string_view trashed) {
    return Text({"この操作のファイルで不要になった可能性のあるものは、消さずにごみ箱 (", trashed,
                 ") に移しました。"});
}

std::string UndoPrompt(std::string_view description) {
    return Text({description, "を元に戻します。"});
}

std::string FinishedLine(std::string_view description) {
    return Text({description, "を完了しました。"});
}

std::string NotDoneLine(std::string_view description) {
    return Text({description, "は行われませんでした。ファイルは元のままです。"});
}

std::string NotDoneLeavingLine(std::string_view description) {
    return Text({description, "は行われませんでした。"});
}

std::string UndoFinishedLine(std::string_view description) {
    return Text({description, "の取り消しを完了しました。"});
}

std::string UndoNotDoneLine(std::string_view description) {
    return Text({description, "の取り消しは行われませんでした。"});
}

std::string UnresolvedLine(std::string_view description) {
    return Text({description,
                 "を最後まで処理できませんでした。次に Pirela を起動したときにもう一度処理します。"});
}

std::string MoreOperationsLine(std::size_t more) {
    return Text({"ほかに ", std::to_string(more), " 件の操作を処理しました。"});
}

} // namespace pirela::res
