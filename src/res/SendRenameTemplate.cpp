#include "res/DialogTemplates.h"

#include "res/ResourceIds.h"

namespace pirela::res {

const DialogTemplate& SendRenameTemplate() {
    // The current name on top, the new one below, each with its extension on the right; the
    // buttons in a column at the right edge.
    static const DialogTemplate dialog{
        kDialogSendRename,
        "新しいファイル名をつけてフォルダへ送る",
        155,
        65,
        {
            {kStatic, ControlKind::Label, "現在のファイル名(&C):", 7, 7, 90, 8},
            {kRenameCurrentName, ControlKind::ReadOnlyEdit, "", 7, 17, 80, 12},
            {kRenameCurrentExtension, ControlKind::BorderlessReadOnlyEdit, "", 89, 19, 22, 8},
            {kStatic, ControlKind::Label, "新しいファイル名(&N):", 7, 34, 90, 8},
            {kRenameNewName, ControlKind::Edit, "", 7, 44, 80, 12},
            {kRenameNewExtension, ControlKind::BorderlessReadOnlyEdit, "", 89, 46, 22, 8},
            {kIdOk, ControlKind::DefaultPushButton, "OK", 114, 7, 36, 14},
            {kIdCancel, ControlKind::PushButton, "キャンセル", 114, 24, 36, 14},
        },
    };
    return dialog;
}

} // namespace pirela::res
