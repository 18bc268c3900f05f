#include "res/DialogTemplates.h"

#include "res/ResourceIds.h"

namespace pirela::res {

const DialogTemplate& BatchRenameTemplate() {
    // Each group box comes before the controls that lie inside it.
    static const DialogTemplate dialog{
        kDialogBatchRename,
        "ファイル名の一括リネーム",
        259,
        249,
        {
            {kStatic, ControlKind::Icon, "", 5, 5, 20, 20, kIconBatchRename},
            {kStatic, ControlKind::Label,
             "ここでは指定したフォルダに含まれるイメージ ファイルのファイル名を連番 (通し番号) でリネームします。",
             30, 10, 215, 15},
            {kStatic, ControlKind::GroupBox, "リネームの対象", 5, 35, 250, 135},
            {kStatic, ControlKind::Label, "リネームするファイルの入ったフォルダのパス(&F):", 10, 50,
             121, 8},
            {kBatchFolder, ControlKind::ReadOnlyEdit, "", 10, 60, 185, 14, 0,
             "リネームを適用するフォルダを指定します"},
            {kBatchChangeFolder, ControlKind::PushButton, "変更(&H)...", 200, 60, 45, 14, 0,
             "フォルダを変更します"},
            {kStatic, ControlKind::Label, "サブフォルダには適用されません。", 10, 75, 165, 8},
            {kStatic, ControlKind::Label, "リネームするファイル:", 10, 89, 54, 8},
            {kBatchFiles, ControlKind::ListBox, "", 10, 99, 80, 66, 0,
             "リネームを適用するファイル名が表示されます"},
            {kStatic, ControlKind::GroupBox, "対象とするイメージ フォーマットの選択", 100, 99, 145,
             66},
            {kBatchBitmaps, ControlKind::CheckBox, "ビットマップ イメージ (*.bmp;*.dib)(&B)", 105,
             108, 120, 10, 0, "ビットマップ イメージをリネームの対象にします"},
            {kBatchJpeg, ControlKind::CheckBox, "JPEG イメージ (*.jpg;*.jpe)(&J)", 105, 118, 120, 10,
             0, "JPEG イメージをリネームの対象にします"},
            {kBatchPng, ControlKind::CheckBox, "PNG イメージ (*.png)(&P)", 105, 128, 120, 10, 0,
             "PNG イメージをリネームの対象にします"},
            {kBatchOther, ControlKind::CheckBox, "その他 (HEIC、WebP、RAW など)(&O)", 105,
             138, 138, 10, 0, "HEIC、AVIF、WebP、TIFF、GIF、カメラの RAW イメージをリネームの対象にします"},
            {kStatic, ControlKind::Label,
             "選択したフォーマットのイメージだけがリネームの対象になります。", 105, 149, 135, 15},
            {kStatic, ControlKind::GroupBox, "新しいファイル名の書式", 5, 175, 190, 70},
            {kStatic, ControlKind::Label, "共通部分(&C):", 10, 193, 39, 8},
            {kBatchPrefix, ControlKind::Edit, "image_", 55, 191, 50, 14, 0,
             "新しいファイル名の共通部分を入力します"},
            {kBatchAutoDigits, ControlKind::CheckBox, "桁数を自動で数える(&A)", 10, 211, 80, 10, 0,
             "ファイルの数を数えて、自動で桁数を決定します"},
            {kBatchDigits, ControlKind::Edit, "2", 90, 209, 15, 14, 0, "桁数を自分で設定できます"},
            {kStatic, ControlKind::Label, "桁(&G)", 107, 212, 17, 8},
            {kStatic, ControlKind::Label, "初期値(&S):", 130, 212, 31, 8},
            {kBatchStart, ControlKind::Edit, "1", 165, 210, 24, 14, 0, "連番の初期値を入力します"},
            {kStatic, ControlKind::Label,
             "新しいファイル名は [共通部分] + [インデックス] になります。", 10, 231, 165, 8},
            {kBatchRun, ControlKind::PushButton, "リネーム実行(&R)", 200, 205, 55, 14, 0,
             "リネームを開始します"},
            {kIdCancel, ControlKind::PushButton, "閉じる(&L)", 200, 230, 55, 14, 0,
             "ダイアログを閉じます"},
        },
    };
    return dialog;
}

} // namespace pirela::res
