#include "res/Messages.h"

#include "common/AsciiText.h"
#include "common/PathRules.h"

#include <iterator>

namespace pirela::res {

std::string LoadErrorFirstLine(std::string_view path) {
    return std::string(path) + " を開けません。";
}

std::string DecoderMissingLine(std::string_view program) {
    return "イメージを読み込むプログラム " + std::string(program) +
           " が見つからないか、実行できません。Pirela をインストールし直してください。";
}

std::string ForeignFormatMessage(std::string_view fileName) {
    return std::string(fileName) + " - この形式のファイルは " + kProgramName + " でサポートされていません。";
}

std::string CannotOpenMessage(std::string_view path) {
    return "ファイル " + std::string(path) + " が開けません。";
}

std::string NoImagesMessage(std::string_view folder) {
    return std::string(folder) + " には開けるイメージ ファイルがありません。";
}

std::string SearchSubfoldersQuestion(std::string_view folder) {
    return std::string(folder) + "\nこのフォルダに含まれるサブフォルダのイメージも検索しますか?";
}

std::string TooManyFilesMessage(std::string_view folder, int limit) {
    const std::string number = GroupedDigits(limit);
    std::string text(folder);
    text += " フォルダには ";
    text += kProgramName;
    text += " で一度に扱うことのできるファイル数 ";
    text += number;
    text += " を超える数のイメージ ファイルが含まれています。フォルダ内のファイルをいくつかに分割するなどの処置をしてから再び開いてください。ここでは最初に見つかった ";
    text += number;
    text += " 個のファイルを表示します。";
    return text;
}

std::string CurrentImageGoneMessage(std::string_view name) {
    std::string text = "現在表示中のイメージ ";
    text += name;
    text += " はすでに存在していないか、ファイル名が変更されています。よってリストの先頭のイメージを表示します。";
    return text;
}

std::string BatchRootFolderMessage(std::string_view folder) {
    std::string text = "ルート ディレクトリには適用できません。\n";
    text += folder;
    if (folder.empty() || folder.back() != '/') {
        text += '/';
    }
    return text;
}

std::string BatchFolderNotFoundMessage(std::string_view folder) {
    return "指定したフォルダが見つかりません。\n" + std::string(folder);
}

std::string BatchNotAFolderMessage(std::string_view path) {
    return "指定したパスはフォルダではありません。\n" + std::string(path);
}

std::string BatchPrefixCharacterMessage(char character) {
    return "共通部分には次の文字は使えません。\n" + std::string(1, character);
}

std::string BatchRenameConfirmation(std::string_view folder, std::string_view formats,
                                    std::string_view prefix, int digits, long long start) {
    std::string text = "以下の設定でファイル名を一括でリネームします。\nこの操作は [元に戻す] で取り消せます。続行しますか?\n\nフォルダのパス : ";
    text += folder;
    text += "\n対象とするイメージ フォーマット :";
    text += formats;
    text += "\nファイル名の共通部分 : ";
    text += prefix;
    text += "\n桁数 : " + std::to_string(digits) + " 桁\n初期値 : " + std::to_string(start) + "\n";
    return text;
}

std::string BatchRenameOrderLine(int order) {
    const bool known = order >= 0 && order < int(std::size(kOrderNames));
    return std::string("並び順 : ") + kOrderNames[known ? order : 0] + "\n";
}

std::string BatchRenameReport(int succeeded, int failed) {
    return "リネームが完了しました。\n\nリネームに成功したファイル数 : " + std::to_string(succeeded) +
           "\nリネームに失敗したファイル数 : " + std::to_string(failed) + "\n";
}

std::string InvalidDestinationMessage(std::string_view folder) {
    return "指定したフォルダ " + std::string(folder) +
           " は無効です。フォルダが存在するかどうか確認してください。";
}

std::string CannotOpenHelpMessage(std::string_view helpFile) {
    return "ヘルプ ファイル " + std::string(helpFile) + " が開けません。";
}

std::string NoHelpOpenerMessage(std::string_view helpFile) {
    return "ヘルプ ファイル " + std::string(helpFile) +
           " を開くプログラムが見つかりません。HTML ファイルを開くプログラム (Web ブラウザ) を"
           "インストールするか、このファイルをブラウザで直接開いてください。";
}

std::string CannotOpenFolderMessage(std::string_view folder) {
    return std::string(folder) + " が開けません。";
}

std::string SendConfirmCaption(std::string_view word) {
    return "ファイルの" + std::string(word);
}

std::string SendConfirmText(std::string_view source, std::string_view folder,
                            std::string_view word) {
    return std::string(source) + " を\n" + std::string(folder) + " に" + std::string(word) +
           "します。";
}

std::string OverwriteQuestion(std::string_view path) {
    return "ファイル " + std::string(path) +
           " は既に存在します。上書きしますか ? 上書きするには [ はい ] を、ファイル名を変更して"
           "続行するには [ いいえ ] を、操作を中止するには [ キャンセル ] を選択してください。";
}

std::string NoSpaceMessage(std::string_view word) {
    return "ファイルを" + std::string(word) +
           "できません。ファイルの受け側のディスクの空き容量が足りません。ファイルのサイズとディス"
           "クの空き容量を確認してください。";
}

std::string CopyFailedMessage(std::string_view source, std::string_view destination) {
    return std::string(source) + " を " + std::string(destination) +
           " にコピーできませんでした。パスが正しいか、または上書き禁止ではないか確認してください。";
}

std::string MoveFailedMessage(std::string_view source, std::string_view destination) {
    return std::string(source) + " を " + std::string(destination) +
           " に移動できませんでした。パスが無効であるか、送り側のファイルが読み取り専用である可能性"
           "があります。";
}

std::string TransferProgressText(std::string_view status, int percent) {
    return std::string(status) + " " + std::to_string(percent) + "%";
}

std::string DestinationGoneMessage(std::string_view source, std::string_view destination,
                                   std::string_view word) {
    return std::string(source) + " を " + std::string(destination) + " に" + std::string(word) +
           "できませんでした。送り先のフォルダ " + FolderOf(destination) + " が見つかりません。";
}

std::string DestinationReadOnlyMessage(std::string_view source, std::string_view destination,
                                       std::string_view word) {
    return std::string(source) + " を " + std::string(destination) + " に" + std::string(word) +
           "できませんでした。送り先のフォルダには書き込めません。読み取り専用であるか、書き込む"
           "権限がない可能性があります。";
}

std::string NameNotAllowedMessage(std::string_view source, std::string_view destination,
                                  std::string_view word) {
    return std::string(source) + " を " + std::string(destination) + " に" + std::string(word) +
           "できませんでした。送り先のディスクではこのファイル名は使えません。別の名前を指定して"
           "ください。";
}

std::string LineBreakInFolderMessage(std::string_view folder) {
    return "フォルダ " + std::string(folder) +
           " の名前には改行が含まれているため、送り先に指定できません。";
}

std::string TransferCancelledText(std::string_view word) {
    return "ファイルの" + std::string(word) + "を中止しました。";
}

std::string UndoCopyQuestion(std::string_view source, std::string_view destination) {
    return std::string(source) + " から " + std::string(destination) +
           " へのコピーを取り消します。従って " + std::string(destination) +
           " は削除されます。実行しますか ?";
}

std::string UndoMoveQuestion(std::string_view source, std::string_view destination) {
    return std::string(source) + " から " + std::string(destination) +
           " への移動を取り消します。従って " + std::string(destination) + " から " +
           std::string(source) + " へファイルを移動します。実行しますか ?";
}

std::string CannotDeleteMessage(std::string_view path) {
    return std::string(path) + " を削除できませんでした。";
}

std::string CannotMoveBackMessage(std::string_view destination, std::string_view source) {
    return std::string(destination) + " から " + std::string(source) +
           " へファイルを移動できませんでした。";
}

std::string TrashQuestion(std::string_view path) {
    return "ファイル " + std::string(path) + " をごみ箱に移しますか?";
}

std::string NotTheMovedFileMessage(std::string_view destination, std::string_view source) {
    return CannotMoveBackMessage(destination, source) + std::string(destination) +
           " は移動した後で別のファイルに置き換えられています。";
}

std::string SettingsNotSavedMessage(std::string_view file) {
    return "設定を保存できませんでした。設定ファイル " + std::string(file) +
           " に書き込めません。ディスクの空き容量と書き込み権限を確認してください。";
}

std::string SettingsUnreadableMessage(std::string_view file) {
    return "設定ファイル " + std::string(file) +
           " を読み込めません。大きすぎるか、ファイルではない可能性があります。今回は既定の設定"
           "を使い、このファイルは変更しません。";
}

std::string ForbiddenCharactersMessage(std::string_view characters) {
    return "ファイル名には次の文字は使えません。\r\n" + std::string(characters);
}

std::string SentOutcome(std::string_view name, std::string_view folder, std::string_view newName,
                        bool copy) {
    std::string text = std::string(name) + " を " + std::string(folder) + " に";
    if (!newName.empty() && newName != name) {
        text += " " + std::string(newName) + " として";
    }
    return text + (copy ? "コピーしました。" : "移動しました。");
}

std::string TrashedOutcome(std::string_view name) {
    return std::string(name) + " をごみ箱に送りました。";
}

std::string SendManyConfirmText(std::size_t count, std::string_view folder, std::string_view word) {
    return "選んだ " + std::to_string(count) + " 個のファイルを\n" + std::string(folder) + " に" +
           std::string(word) + "します。";
}

std::string TransferManyProgressText(std::string_view status, std::size_t photo, std::size_t count,
                                     int percent) {
    return std::string(status) + " " + std::to_string(photo) + "/" + std::to_string(count) + " " +
           std::to_string(percent) + "%";
}

std::string SentManyOutcome(std::size_t count, std::string_view folder, bool copy) {
    return std::to_string(count) + " 個のファイルを " + std::string(folder) + " に" +
           (copy ? "コピーしました。" : "移動しました。");
}

std::string TrashManyQuestion(std::size_t count) {
    return "選んだ " + std::to_string(count) + " 個のファイルをごみ箱に移しますか?";
}

std::string TrashedManyOutcome(std::size_t count) {
    return std::to_string(count) + " 個のファイルをごみ箱に送りました。";
}

std::string UndoneOutcome(std::string_view what) {
    return std::string(what) + "を元に戻しました。";
}

} // namespace pirela::res
