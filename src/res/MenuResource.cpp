#include "res/MenuResource.h"

#include "res/ResourceIds.h"

namespace pirela::res {

const std::vector<MenuEntry>& MainMenu() {
    static const std::vector<MenuEntry> menu{
        MenuEntry::Popup("ファイル(&F)",
                         {
                             MenuEntry::Command(kCmdFileOpen, "開く(&O)...\tCtrl+O"),
                             MenuEntry::Command(kCmdOpenFolder, "フォルダを選択して開く(&F)..."),
                             MenuEntry::Separator(),
                             MenuEntry::Command(kCmdAppExit, "Pirela の終了(&X)"),
                         }),
        MenuEntry::Popup("表示(&V)",
                         {
                             MenuEntry::Command(kCmdZoom25, "25%"),
                             MenuEntry::Command(kCmdZoom50, "50%"),
                             MenuEntry::Command(kCmdZoom100, "100%(&1)"),
                             MenuEntry::Command(kCmdZoom200, "200%"),
                             MenuEntry::Command(kCmdZoom400, "400%"),
                             MenuEntry::Command(kCmdZoomFit, "常に画面に合わせる(&F)"),
                             MenuEntry::Command(kCmdZoomShrink, "大きいイメージを縮小(&E)"),
                             MenuEntry::Separator(),
                             MenuEntry::Command(kCmdRefresh, "リフレッシュ(&R)\tF5"),
                         }),
        MenuEntry::Popup("ヘルプ(&H)",
                         {
                             MenuEntry::Command(kCmdAppAbout, "Pirela について(&A)..."),
                         }),
    };
    return menu;
}

} // namespace pirela::res
