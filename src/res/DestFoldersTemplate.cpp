#include "res/DialogTemplates.h"

#include "res/ResourceIds.h"

#include <string>

namespace pirela::res {

namespace {

constexpr const char* kEditTip = "送り先となるフォルダのパスを入力します";
constexpr const char* kBrowseTip = "送り先フォルダをフォルダ ツリーで参照します";
constexpr const char* kClearTip = "パスの文字列を消去して送り先フォルダを未設定にします";
constexpr const char* kRowLabels[] = {"&1", "&2", "&3", "&4", "&5", "&6", "&7", "&8"};

// One row per destination: its number (the mnemonic of its edit), its coloured folder, the
// edit, "クリア" and "参照...".
void AddDestinationRows(std::vector<ControlTemplate>& controls) {
    for (int row = 0; row < 8; ++row) {
        const int top = 40 + 25 * row;
        controls.push_back({kStatic, ControlKind::Label, kRowLabels[row], 5, top + 3, 10, 8});
        controls.push_back({kStatic, ControlKind::Icon, "", 16, top - 3, 20, 20, kIconDestinations[row]});
        controls.push_back({kDestinationEdits[row], ControlKind::Edit, "", 40, top, 150, 14, 0, kEditTip});
        controls.push_back({kDestinationClears[row], ControlKind::PushButton, "クリア", 195, top, 30, 14, 0, kClearTip});
        controls.push_back({kDestinationBrowses[row], ControlKind::PushButton, "参照...", 230, top, 30, 14, 0, kBrowseTip});
    }
}

DialogTemplate MakeDestFoldersTemplate() {
    DialogTemplate dialog{kDialogDestinationFolders, "送り先フォルダの指定", 269, 259, {}};
    dialog.controls.push_back({kStatic, ControlKind::Icon, "", 7, 7, 20, 20, kIconFolderButton});
    dialog.controls.push_back(
        {kStatic, ControlKind::CentredLabel,
         "ここでコピーまたは移動先のフォルダのパスを指定します。指定しないようにするには [ クリア ] を実行して空欄にします。",
         35, 7, 225, 24});
    AddDestinationRows(dialog.controls);
    dialog.controls.push_back({kDestinationClearAll, ControlKind::PushButton, "すべてクリア(&C)", 7, 238, 70, 14,
                               0, "すべての送り先フォルダを未設定にします"});
    dialog.controls.push_back({kIdOk, ControlKind::DefaultPushButton, "OK", 155, 238, 50, 14, 0,
                               "変更を保存してダイアログを閉じます"});
    dialog.controls.push_back({kIdCancel, ControlKind::PushButton, "キャンセル", 210, 238, 50, 14, 0,
                               "変更を破棄してダイアログを閉じます"});
    return dialog;
}

} // namespace

const DialogTemplate& DestFoldersTemplate() {
    static const DialogTemplate dialog = MakeDestFoldersTemplate();
    return dialog;
}

} // namespace pirela::res
