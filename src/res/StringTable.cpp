#include "res/StringTable.h"

#include "res/ResourceIds.h"

#include <array>
#include <string>
#include <vector>

namespace pirela::res {

namespace {

struct PanePrototype {
    int id;
    const char* text;
};

std::vector<CommandText> FixedTexts() {
    return {
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
        CommandText{kCmdFileClose, "開いているファイルとフォルダを閉じます。", "閉じる"},
        CommandText{kCmdFirst, "フォルダ内の先頭のイメージを開きます。", "先頭を開く"},
        CommandText{kCmdPrevious, "前のイメージを開きます。", "前のイメージを開く (Backspace)"},
        CommandText{kCmdNext, "次のイメージを開きます。", "次のイメージを開く (Space)"},
        CommandText{kCmdLast, "フォルダ内の末尾のイメージを開きます。", "末尾を開く"},
        CommandText{kCmdBack10, "10 個前のイメージを開きます。", "10 個前のイメージを開く"},
        CommandText{kCmdBack100, "100 個前のイメージを開きます。", "100 個前のイメージを開く"},
        CommandText{kCmdForward10, "10 個うしろのイメージを開きます。", "10 個うしろのイメージを開く"},
        CommandText{kCmdForward100, "100 個うしろのイメージを開きます。", "100 個うしろのイメージを開く"},
        CommandText{kCmdProperties, "現在のイメージの情報を表示します。", "イメージの情報を表示 (Ctrl+I)"},
        CommandText{kCmdResearch, "開いているフォルダ内のイメージ ファイルを再検索します。", "イメージの再検索"},
        CommandText{kCmdUndo, "直前のファイルの移動またはコピーを元に戻します。", "元に戻す"},
        CommandText{kCmdCopyToClipboard, "現在のイメージ全体をクリップボードにコピーします。",
                    "クリップボードへコピー (Ctrl+C)"},
        CommandText{kCmdRecycleBin, "現在のイメージ ファイルをごみ箱に捨てます。", "ごみ箱へ捨てる (Del)"},
        CommandText{kCmdSendOther, "現在のファイルを登録していないフォルダへ送ります。", "ほかのフォルダへ送る"},
        CommandText{kCmdDestinationFolders, "送る先のフォルダを指定します。", "フォルダの指定"},
        CommandText{kCmdProgramBrowse, "外部プログラムを参照します。", "外部プログラムの参照"},
        CommandText{kCmdProgramMenu, "現在開いているファイルを外部プログラムへ送ります。", "外部プログラムへ送る"},
        CommandText{kCmdToolBar, "ツール バーの表示/非表示を切り替えます。", "ツール バーの表示切り替え"},
        CommandText{kCmdStatusBar, "ステータス バーの表示/非表示を切り替えます。", "ステータス バーの表示切り替え"},
        CommandText{kCmdSendBar, "送る ダイアログ バーの表示/非表示を切り替えます。", "送る ダイアログ バー"},
        CommandText{kCmdFileList, "ファイルリストの表示/非表示を切り替えます。", "ファイル リスト"},
        CommandText{kCmdTurnLeft, "イメージを反時計まわりに 90 度回転して表示します。",
                    "イメージを反時計回りに 90 度回転 (L)"},
        CommandText{kCmdTurnRight, "イメージを時計まわりに 90 度回転して表示します。",
                    "イメージを時計回りに 90 度回転 (R)"},
        CommandText{kCmdTurnHalf, "イメージを 180 度回転して表示します。", ""},
        CommandText{kCmdTurnReset, "回転の状態を元に戻します。", "回転状態を戻す"},
        CommandText{kCmdKeepTurn, "元のイメージに対する回転方向を持続させて、次以降のイメージにも適用します。",
                    "回転の状態を持続させる"},
        CommandText{kCmdExploreSource, "開いているフォルダをファイル マネージャで参照します。",
                    "ソース フォルダをファイル マネージャで参照"},
        CommandText{kCmdExplorerMenu, "送り先のフォルダをファイル マネージャで参照します。",
                    "ファイル マネージャで参照"},
        CommandText{kCmdBatchRename, "フォルダ内のすべてのイメージ ファイルのファイル名を一括で変更します。",
                    "一括リネーム"},
        CommandText{kCmdOptions, "アプリケーションの詳細設定を変更します。", "オプション"},
        CommandText{kCmdHelp, "このアプリケーションのヘルプを表示します。", "ヘルプ"},
        CommandText{kCmdZoomShrink, "ウィンドウに入りきれない大きなイメージを縮小して表示します。",
                    "大きいイメージを縮小"},
        CommandText{kCmdZoomIn, "イメージを次の大きさに拡大して表示します。", "拡大 (+)"},
        CommandText{kCmdZoomOut, "イメージを次の大きさに縮小して表示します。", "縮小 (-)"},
        CommandText{kCmdZoomToggle, "100% と画面に合わせる表示を切り替えます。", "100% / 画面に合わせる (0)"},
        CommandText{kCmdFullScreen, "イメージだけを画面全体に表示します。Esc で元に戻ります。",
                    "全画面表示 (F11)"},
        CommandText{kCmdThumbnails,
                    "フォルダの写真をサムネイルの一覧で表示します。T でイメージに戻ります。",
                    "サムネイル一覧 (T)"},
    };
}

// The commands of a numbered family share their texts, with the number in them.
std::vector<CommandText> AllTexts() {
    std::vector<CommandText> texts = FixedTexts();
    for (int i = 0; i < 8; ++i) {
        const std::string n = std::to_string(i + 1);
        texts.push_back({kCmdDestinations[i], "指定されたフォルダ " + n + " へイメージ ファイルを送ります。",
                         "フォルダ " + n + " へ送る (Num " + n + ")"});
        texts.push_back({kCmdProgramFirst + i, "ファイルを指定されたプログラムで開きます。", "プログラムへ送る"});
        texts.push_back({kCmdExploreFirst + i, "送り先フォルダをファイル マネージャで参照します。",
                         "送り先フォルダをファイル マネージャで参照"});
    }
    return texts;
}

// The widest texts each status bar pane may show, which set the panes' widths.
constexpr std::array kPanePrototypes{
    PanePrototype{kPaneImage, "イメージ: 0000 x 0000, 24 ビット"},
    PanePrototype{kPaneFileSize, "0.00 MB"},
    PanePrototype{kPaneZoom, "000.0 %"},
    PanePrototype{kPaneFile, "ファイル: 000,000/000,000"},
    PanePrototype{kPaneCamera, "1/1000 秒  f/5.6  ISO 1600  200 mm"},
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
    static const std::vector<CommandText> texts = AllTexts();
    for (const CommandText& text : texts) {
        if (text.id == id) {
            return &text;
        }
    }
    return nullptr;
}

} // namespace pirela::res
