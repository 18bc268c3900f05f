#include "res/StringTable.h"

#include "res/ResourceIds.h"

#include <array>

namespace pirela::res {

namespace {

struct PanePrototype {
    int id;
    const char* text;
};

constexpr std::array kCommandTexts{
    CommandText{kCmdAppAbout, "プログラムのバージョン情報と著作権を表示します。", "バージョン情報"},
    CommandText{kCmdAppExit, "アプリケーションを終了します。", "終了"},
    CommandText{kCmdFileOpen, "既存のファイルを開きます。", "ファイルを開く (Ctrl+O)"},
    CommandText{kCmdOpenFolder, "フォルダを選択して中のファイルを開きます。", "フォルダを選択して開く"},
    CommandText{kCmdRefresh, "イメージを再び読み込んで表示を更新します。", "リフレッシュ"},
    CommandText{kCmdZoom25, "イメージを 25% で表示します。", "25%"},
    CommandText{kCmdZoom50, "イメージを 50% で表示します。", "50%"},
    CommandText{kCmdZoom100, "イメージを 100% で表示します。", "100%"},
    CommandText{kCmdZoom200, "イメージを 200% で表示します。", "200%"},
    CommandText{kCmdZoom400, "イメージを 400% で表示します。", "400%"},
    CommandText{kCmdZoomFit, "イメージを画面のサイズに合わせて表示します。", "画面に合わせる"},
    CommandText{kCmdZoomShrink, "ウィンドウに入りきれない大きなイメージを縮小して表示します。",
                "大きいイメージを縮小"},
};

// The widest texts each status bar pane may show, which set the panes' widths.
constexpr std::array kPanePrototypes{
    PanePrototype{kPaneImage, "イメージ: 0000 x 0000, 24 ビット"},
    PanePrototype{kPaneFileSize, "0.00 MB"},
    PanePrototype{kPaneZoom, "000.0 %"},
    PanePrototype{kPaneFile, "ファイル: 00000/00000"},
};

} // namespace

const char* PanePrototypeText(int paneId) {
    for (const PanePrototype& pane : kPanePrototypes) {
        if (pane.id == paneId) {
            return pane.text;
        }
    }
    return "";
}

const CommandText* FindCommandText(int id) {
    for (const CommandText& text : kCommandTexts) {
        if (text.id == id) {
            return &text;
        }
    }
    return nullptr;
}

} // namespace pirela::res
