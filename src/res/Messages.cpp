#include "res/Messages.h"

namespace pirela::res {

std::string LoadErrorFirstLine(std::string_view path) {
    return std::string(path) + " を開けません。";
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

std::string TooManyFilesMessage(std::string_view folder, int slots) {
    std::string text(folder);
    text += " フォルダには ";
    text += kProgramName;
    text += " で一度に扱うことのできるファイル数 ";
    text += std::to_string(slots);
    text += " を超える数のイメージ ファイルが含まれています。フォルダ内のファイルをいくつかに分割するなどの処置をしてから再び開いてください。一旦フォルダを閉じます。";
    return text;
}

std::string CurrentImageGoneMessage(std::string_view name) {
    std::string text = "現在表示中のイメージ ";
    text += name;
    text += " はすでに存在していないか、ファイル名が変更されています。よってリストの先頭のイメージを表示します。";
    return text;
}

std::string InvalidDestinationMessage(std::string_view folder) {
    return "指定したフォルダ " + std::string(folder) +
           " は無効です。フォルダが存在するかどうか確認してください。";
}

} // namespace pirela::res
