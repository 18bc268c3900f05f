#include "res/Messages.h"

namespace pirela::res {

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

} // namespace pirela::res
