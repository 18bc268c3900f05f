#include "res/MenuResource.h"

#include "res/ResourceIds.h"

namespace pirela::res {

namespace {

std::vector<MenuEntry> DestinationItems() {
    std::vector<MenuEntry> items;
    for (int i = 0; i < 8; ++i) {
        items.push_back(MenuEntry::Command(kCmdDestinations[i], ""));
    }
    return items;
}

std::vector<MenuEntry> Concat(std::vector<std::vector<MenuEntry>> parts) {
    std::vector<MenuEntry> all;
    for (auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

} // namespace

const std::vector<MenuEntry>& MainMenu() {
    using M = MenuEntry;
    static const std::vector<MenuEntry> menu{
        M::Popup("ファイル(&F)",
                 {
                     M::Command(kCmdFileOpen, "開く(&O)...\tCtrl+O"),
                     M::Command(kCmdOpenFolder, "フォルダを選択して開く(&F)..."),
                     M::Command(kCmdFileClose, "閉じる(&C)"),
                     M::Separator(),
                     M::Command(kCmdFirst, "先頭のイメージを開く(&H)\tHome"),
                     M::Command(kCmdPrevious, "前のイメージを開く(&B)\tB, Backspace"),
                     M::Command(kCmdNext, "次のイメージを開く(&N)\tN, Space, Enter"),
                     M::Command(kCmdLast, "末尾のイメージを開く(&T)\tEnd"),
                     M::Command(kCmdBack10, "10 個前のイメージを開く(&U)\tPage Up"),
                     M::Command(kCmdForward10, "10 個うしろのイメージを開く(&D)\tPage Down"),
                     M::Separator(),
                     M::Command(kCmdProperties, "プロパティ(&P)...\tCtrl+I"),
                     M::Separator(),
                     M::Command(kCmdResearch, "イメージの再検索(&R)\tF7"),
                     M::Separator(),
                     M::Command(kCmdAppExit, "Pirela の終了(&X)"),
                 }),
        M::Popup("送る(&R)",
                 Concat({{
                             M::Command(kCmdUndo, "元に戻す(&U)\tCtrl+Z"),
                             M::Separator(),
                             M::Command(kCmdCopyToClipboard, "クリップボードへ(&C)\tCtrl+C"),
                             M::Command(kCmdRecycleBin, "ごみ箱へ(&T)\tDel"),
                             M::Separator(),
                         },
                         DestinationItems(),
                         {
                             M::Command(kCmdSendOther, "ほかのフォルダへ(&O)..."),
                             M::Separator(),
                             M::Command(kCmdDestinationFolders, "フォルダの指定(&S)..."),
                             M::Separator(),
                             M::Popup("プログラム(&P)",
                                      {
                                          M::Separator(),
                                          M::Command(kCmdProgramBrowse, "参照(&B)..."),
                                      }),
                         }})),
        M::Popup("表示(&V)",
                 {
                     M::Command(kCmdToolBar, "ツール バー(&T)"),
                     M::Command(kCmdStatusBar, "ステータス バー(&S)"),
                     M::Command(kCmdSendBar, "送る ダイアログ バー(&D)"),
                     M::Command(kCmdFileList, "ファイル リスト(&L)"),
                     M::Command(kCmdFullScreen, "全画面表示(&P)\tF11, F"),
                     M::Command(kCmdThumbnails, "サムネイル一覧(&T)\tT"),
                     M::Separator(),
                     M::Command(kCmdZoom25, "25%"),
                     M::Command(kCmdZoom50, "50%"),
                     M::Command(kCmdZoom100, "100%(&1)"),
                     M::Command(kCmdZoom200, "200%"),
                     M::Command(kCmdZoom400, "400%"),
                     M::Command(kCmdZoomFit, "常に画面に合わせる(&F)"),
                     M::Command(kCmdZoomShrink, "大きいイメージを縮小(&E)"),
                     M::Command(kCmdZoomIn, "拡大(&I)\t+"),
                     M::Command(kCmdZoomOut, "縮小(&O)\t-"),
                     M::Command(kCmdZoomToggle, "100% と画面に合わせるを切り替え(&Z)\t0"),
                     M::Separator(),
                     M::Command(kCmdTurnLeft, "左に 90 度回転(&9)\tL"),
                     M::Command(kCmdTurnRight, "右に 9&0 度回転(&0)\tR"),
                     M::Command(kCmdTurnHalf, "180 度回転(&8)"),
                     M::Command(kCmdTurnReset, "回転状態を元に戻す(&U)"),
                     M::Command(kCmdKeepTurn, "回転状態を持続させる(&K)"),
                     M::Separator(),
                     M::Command(kCmdRefresh, "リフレッシュ(&R)\tF5"),
                 }),
        M::Popup("ツール(&T)",
                 {
                     M::Popup("ファイル マネージャで参照(&X)",
                              Concat({{
                                          M::Command(kCmdExploreSource, "ソース を開く(&S)"),
                                          M::Separator(),
                                      },
                                      [] {
                                          std::vector<MenuEntry> items;
                                          for (int i = 0; i < 8; ++i) {
                                              items.push_back(M::Command(kCmdExploreFirst + i, ""));
                                          }
                                          return items;
                                      }()})),
                     M::Command(kCmdBatchRename, "ファイル名の一括リネーム(&R)..."),
                     M::Separator(),
                     M::Command(kCmdOptions, "オプション(&O)..."),
                 }),
        M::Popup("ヘルプ(&H)",
                 {
                     M::Command(kCmdHelp, "Pirela のヘルプ(&H)...\tF1"),
                     M::Separator(),
                     M::Command(kCmdAppAbout, "Pirela について(&A)..."),
                 }),
    };
    return menu;
}

const std::vector<MenuEntry>& NavigationDropDown(bool forward) {
    using M = MenuEntry;
    static const std::vector<MenuEntry> back{
        M::Command(kCmdPrevious, "前のイメージ(&B)"),
        M::Command(kCmdBack10, "10 個前のイメージ(&1)\tPage Up"),
        M::Command(kCmdBack100, "100 個前のイメージ(&0)"),
        M::Command(kCmdFirst, "先頭のイメージ(&H)\tHome"),
    };
    static const std::vector<MenuEntry> next{
        M::Command(kCmdNext, "次のイメージ(&N)"),
        M::Command(kCmdForward10, "10 個うしろのイメージ(&1)\tPage Down"),
        M::Command(kCmdForward100, "100 個うしろのイメージ(&0)"),
        M::Command(kCmdLast, "末尾のイメージ(&T)\tEnd"),
    };
    return forward ? next : back;
}

const std::vector<MenuEntry>& ContextMenu() {
    using M = MenuEntry;
    static const std::vector<MenuEntry> menu{
        M::Popup("フォルダへ(&F)", Concat({DestinationItems(),
                                          {
                                              M::Command(kCmdSendOther, "ほかのフォルダへ(&O)..."),
                                              M::Separator(),
                                              M::Command(kCmdDestinationFolders, "フォルダの指定(&S)..."),
                                          }})),
        M::Separator(),
        M::Command(kCmdNext, "次へ(&N)"),
        M::Command(kCmdPrevious, "前へ(&B)"),
        M::Separator(),
        M::Command(kCmdCopyToClipboard, "コピー(&C)"),
        M::Command(kCmdRecycleBin, "削除(&D)"),
        M::Separator(),
        M::Popup("表示サイズ(&S)",
                 {
                     M::Command(kCmdZoom25, "25%"),
                     M::Command(kCmdZoom50, "50%"),
                     M::Command(kCmdZoom100, "100%(&1)"),
                     M::Command(kCmdZoom200, "200%"),
                     M::Command(kCmdZoom400, "400%"),
                     M::Command(kCmdZoomFit, "常に画面にあわせる(&F)"),
                     M::Command(kCmdZoomShrink, "大きいイメージを縮小(&E)"),
                 }),
        M::Popup("回転(&T)",
                 {
                     M::Command(kCmdTurnLeft, "左に 90 度回転(&9)\tL"),
                     M::Command(kCmdTurnRight, "右に 9&0 度回転(&0)\tR"),
                     M::Command(kCmdTurnHalf, "180 度回転(&8)"),
                     M::Command(kCmdTurnReset, "回転状態を元に戻す(&U)"),
                     M::Separator(),
                     M::Command(kCmdKeepTurn, "回転状態を持続させる(&K)"),
                 }),
        M::Separator(),
        M::Command(kCmdProperties, "プロパティ(&R)..."),
    };
    return menu;
}

} // namespace pirela::res
