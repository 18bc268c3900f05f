#include "res/DialogTemplates.h"

#include "res/Messages.h"
#include "res/ResourceIds.h"

namespace pirela::res {

const DialogTemplate& SendBarTemplate() {
    // The destination buttons' captions, icons and tool tips follow the settings; the bar
    // sets them whenever it is refreshed.
    static const DialogTemplate bar{
        kDialogSendBar,
        "",
        77,
        221,
        {
            {kSendBarDestinations[0], ControlKind::IconButton, "", 1, 10, 75, 19},
            {kSendBarDestinations[1], ControlKind::IconButton, "", 1, 30, 75, 19},
            {kSendBarDestinations[2], ControlKind::IconButton, "", 1, 50, 75, 19},
            {kSendBarDestinations[3], ControlKind::IconButton, "", 1, 70, 75, 19},
            {kSendBarDestinations[4], ControlKind::IconButton, "", 1, 90, 75, 19},
            {kSendBarDestinations[5], ControlKind::IconButton, "", 1, 110, 75, 19},
            {kSendBarDestinations[6], ControlKind::IconButton, "", 1, 130, 75, 19},
            {kSendBarDestinations[7], ControlKind::IconButton, "", 1, 150, 75, 19},
            {kSendBarCopy, ControlKind::RadioButton, "複製", 2, 170, 25, 10},
            {kSendBarMove, ControlKind::RadioButton, "移動", 2, 180, 25, 10},
            // Its caption "フォルダ指定" is never shown: the picture says it.
            {kSendBarFolderButton, ControlKind::IconButton, "", 30, 170, 20, 20,
             kIconFolderButton, kFolderButtonToolTip},
            // As wide as the bar allows: the platform's check mark takes more room than the
            // old one, and the text must not be cut.
            {kSendBarAsk, ControlKind::CheckBox, "直前に問い合わせる", 3, 195, 73, 10},
            {kSendBarRename, ControlKind::CheckBox, "ファイル名変更", 3, 205, 73, 10},
        },
    };
    return bar;
}

} // namespace pirela::res
