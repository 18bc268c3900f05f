#include "res/DialogTemplates.h"

#include "res/ResourceIds.h"

namespace pirela::res {

const DialogTemplate& SendRenameTemplate() {
    // The folder the file goes to on top; below it the current name, then the new one, each
    // with its extension on the right; the buttons in a column at the right edge. Wide enough
    // for its caption in the title bar.
    static const DialogTemplate dialog{
        kDialogSendRename,
        "新しいファイル名をつけてフォルダへ送る",
        225,
        80,
        {
            {kStatic, ControlKind::Label, "送り先:", 7, 7, 28, 8},
            {kRenameDestination, ControlKind::Label, "", 37, 7, 181, 8},
            {kStatic, ControlKind::Label, "現在のファイル名(&C):", 7, 21, 90, 8},
            {kRenameCurrentName, ControlKind::ReadOnlyEdit, "", 7, 31, 140, 12},
            {kRenameCurrentExtension, ControlKind::BorderlessReadOnlyEdit, "", 149, 33, 28, 8},
            {kStatic, ControlKind::Label, "新しいファイル名(&N):", 7, 48, 90, 8},
            {kRenameNewName, ControlKind::Edit, "", 7, 58, 140, 12},
            {kRenameNewExtension, ControlKind::BorderlessReadOnlyEdit, "", 149, 60, 28, 8},
            {kIdOk, ControlKind::DefaultPushButton, "OK", 182, 21, 36, 14},
            {kIdCancel, ControlKind::PushButton, "キャンセル", 182, 38, 36, 14},
        },
    };
    return dialog;
}

} // namespace pirela::res
