#include "res/StringTable.h"

#include "res/ResourceIds.h"

#include <array>

namespace pirela::res {

namespace {

constexpr std::array kCommandTexts{
    CommandText{kCmdAppAbout, "プログラムのバージョン情報と著作権を表示します。", "バージョン情報"},
    CommandText{kCmdAppExit, "アプリケーションを終了します。", "終了"},
};

} // namespace

const CommandText* FindCommandText(int id) {
    for (const CommandText& text : kCommandTexts) {
        if (text.id == id) {
            return &text;
        }
    }
    return nullptr;
}

} // namespace pirela::res
