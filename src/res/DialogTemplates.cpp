#include "res/DialogTemplates.h"

#include "res/ResourceIds.h"

namespace pirela::res {

const DialogTemplate& AboutBoxTemplate() {
    static const DialogTemplate dialog{
        kAboutBox,
        "Pirela について",
        219,
        65,
        {
            {kStatic, ControlKind::Icon, "", 11, 17, 20, 20, kMainFrame},
            {kStatic, ControlKind::Label, "Pirela Version 1.2a", 40, 10, 119, 8},
            {kStatic, ControlKind::Label, "イメージを見ながらフォルダへ振り分けるビューア", 40, 24,
             170, 8},
            {kAboutBuildText, ControlKind::Label, "Build Date and Time", 40, 40, 170, 8},
            {kIdOk, ControlKind::DefaultPushButton, "OK", 176, 7, 36, 14},
        },
    };
    return dialog;
}

} // namespace pirela::res

namespace pirela::res {

const DialogTemplate& BusyWindowTemplate() {
    static const DialogTemplate dialog{
        kBusyWindow, "", 194, 62, {{kBusyText, ControlKind::CentredLabel, "", 7, 7, 180, 48}}};
    return dialog;
}

} // namespace pirela::res

namespace pirela::res {

const DialogTemplate& FileListTemplate() {
    // The window lays its controls out by pixels when it is resized; these places only hold
    // until then.
    static const DialogTemplate dialog{kFileListWindow,
                                       "ファイル リスト",
                                       138,
                                       150,
                                       {
                                           {kFileListLabel, ControlKind::Label, "開かれていません...", 4, 3, 130, 8},
                                           {kFileListBox, ControlKind::ListBox, "", 4, 14, 130, 112},
                                           {kFileListShow, ControlKind::PushButton, "表示", 4, 131, 33, 14},
                                           {kIdCancel, ControlKind::PushButton, "隠す", 41, 131, 33, 14},
                                       }};
    return dialog;
}

} // namespace pirela::res
