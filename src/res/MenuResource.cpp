#include "res/MenuResource.h"

#include "res/ResourceIds.h"

namespace pirela::res {

const std::vector<MenuEntry>& MainMenu() {
    static const std::vector<MenuEntry> menu{
        MenuEntry::Popup("ファイル(&F)",
                         {
                             MenuEntry::Command(kCmdAppExit, "Pirela の終了(&X)"),
                         }),
        MenuEntry::Popup("ヘルプ(&H)",
                         {
                             MenuEntry::Command(kCmdAppAbout, "Pirela について(&A)..."),
                         }),
    };
    return menu;
}

} // namespace pirela::res
