#include "res/ProgramTexts.h"

namespace pirela::res {

std::string ProgramStartFailedMessage(std::string_view imagePath, std::string_view programName) {
    return std::string(imagePath) + " を " + std::string(programName) +
           " で開くのに失敗しました。プログラムのパスまたはコマンドが正しいか確認してください。";
}

std::string DeleteProgramQuestion(std::string_view programName) {
    return "プログラム " + std::string(programName) + " をリストから削除してもよろしいですか ?";
}

} // namespace pirela::res
