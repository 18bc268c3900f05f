#include "res/DialogTemplates.h"

#include "res/ResourceIds.h"

namespace pirela::res {

const DialogTemplate& GeneralPageTemplate() {
    static const DialogTemplate dialog{
        kDialogGeneralPage,
        "全般",
        211,
        236,
        {
            {kStatic, ControlKind::Icon, "", 5, 5, 20, 20, kIconGeneralPage},
            {kStatic, ControlKind::Label, "ここではプログラムの動作全般についての設定をします。", 30, 10, 175, 15},
            {kStatic, ControlKind::GroupBox, "起動", 5, 35, 200, 63},
            {kGeneralShortcut, ControlKind::CheckBox,
             "ファイル マネージャの [アプリケーションで開く] に Pirela を登録する(&M)", 10, 45, 185, 20, 0,
             "[アプリケーションで開く] に登録すると Pirela を簡単に起動できます"},
            {kGeneralShortcutNameLabel, ControlKind::Label, "ランチャーの名前(&N):", 10, 68, 75, 8},
            {kGeneralShortcutName, ControlKind::Edit, "", 90, 65, 105, 14, 0,
             "ランチャーの名前を変更できます"},
            {kGeneralOpenLast, ControlKind::CheckBox, "前回終了時のイメージを開く(&L)", 10, 83, 185, 10, 0,
             "ファイルを指定せずに起動したとき、前回終了時に表示していたイメージを開きます"},
            {kStatic, ControlKind::GroupBox, "ウィンドウの背景色", 5, 103, 200, 65},
            {kGeneralUseBackground, ControlKind::CheckBox, "ウィンドウの背景色を変更する(&C)", 10, 113, 110, 10, 0,
             "ウインドウの画像でない領域の色を変更します"},
            {kGeneralColourLabel, ControlKind::Label, "色:", 20, 133, 9, 8},
            {kGeneralColourSwatch, ControlKind::SunkenFrame, "", 35, 128, 20, 20, 0, "現在の背景色です"},
            {kGeneralChooseColour, ControlKind::PushButton, "色の選択(&S)", 65, 128, 100, 14, 0,
             "カラー選択ダイアログで色を選択します"},
            {kGeneralSystemColour, ControlKind::PushButton, "システムの背景色を取得(&G)", 65, 148, 100, 14, 0,
             "標準の背景色 (灰色) を取得します"},
            {kGeneralApplyOrientation, ControlKind::CheckBox, "撮影時の向きに合わせて写真を表示する(&O)", 5,
             176, 200, 10, 0, "写真ファイルに記録された向きのとおりに回転して表示します"},
            {kGeneralCentreImage, ControlKind::CheckBox, "画像をウインドウの中央に表示する(&W)", 5, 190,
             200, 10, 0, "ウインドウより小さい画像をウインドウの中央に表示します"},
            {kGeneralColourProfile, ControlKind::CheckBox,
             "埋め込まれたカラー プロファイルに合わせて色を補正する(&P)", 5, 204, 200, 10, 0,
             "写真に記録された色空間 (Adobe RGB など) の色を、ディスプレイに合わせて正しく表示します"},
            {kGeneralPlayAnimation, ControlKind::CheckBox, "アニメーションを再生する(&A)", 5, 218, 200, 10, 0,
             "アニメーション GIF と WebP を動かして表示します"},
        },
    };
    return dialog;
}

const DialogTemplate& FindPageTemplate() {
    static const DialogTemplate dialog{
        kDialogFindPage,
        "イメージ検索",
        210,
        154,
        {
            {kStatic, ControlKind::Icon, "", 5, 5, 20, 20, kIconFindPage},
            {kStatic, ControlKind::Label, "ここではフォルダ内のイメージ検索についての設定をします。", 30, 10, 175, 15},
            {kFindSubfolders, ControlKind::CheckBox, "指定したフォルダ内のサブフォルダも検索する(&S)", 5, 35, 160, 10, 0,
             "サブフォルダも検索できます"},
            {kFindHidden, ControlKind::CheckBox, "隠しファイルも検索する(&H)", 5, 50, 100, 10, 0,
             "隠しファイル、隠しフォルダも検索します"},
            {kFindNewFormats, ControlKind::CheckBox, "HEIC、AVIF、WebP、TIFF、GIF、RAW も検索する(&F)", 5,
             65, 200, 10, 0, "オフにすると BMP、JPEG、PNG のイメージだけを検索します"},
            {kStatic, ControlKind::GroupBox, "ファイルの並び順", 5, 82, 200, 50},
            {kFindOrderName, ControlKind::RadioButton, "名前順", 10, 93, 185, 10, 0,
             "ファイル名の文字の順に並べます (img10 は img2 より前になります)"},
            {kFindOrderNatural, ControlKind::RadioButton, "名前順 (数字を数値として比較)", 10, 105, 185, 10, 0,
             "ファイル名の数字を数値として比較して並べます (img2 は img10 より前になります)"},
            {kFindOrderDate, ControlKind::RadioButton, "撮影日時順", 10, 117, 185, 10, 0,
             "写真の撮影日時の順に並べます。撮影日時の記録がないファイルは更新日時で並べます"},
        },
    };
    return dialog;
}

const DialogTemplate& SendPageTemplate() {
    static const DialogTemplate dialog{
        kDialogSendPage,
        "ファイルを送る",
        211,
        195,
        {
            {kStatic, ControlKind::Icon, "", 5, 5, 20, 20, kIconSendPage},
            {kStatic, ControlKind::Label,
             "ここではイメージ ファイルをフォルダや外部のプログラムへ送るときの設定をします。", 30, 10, 175, 15},
            {kSendPageAsk, ControlKind::CheckBox, "ファイルを送る直前に問い合わせる(&K)", 5, 35, 140, 10, 0,
             "フォルダへ送る直前にダイアログで問い合わせます"},
            {kSendPageRename, ControlKind::CheckBox, "ファイルを送るときファイル名を変更する(&G)", 5, 50, 140, 10, 0,
             "フォルダへ送るときにファイル名を毎回変更できます"},
            {kStatic, ControlKind::GroupBox, "フォルダへ送る方法", 5, 65, 200, 35},
            {kSendPageCopy, ControlKind::RadioButton, "送り先にファイルの複製を作成する(&C)", 10, 75, 130, 10, 0,
             "元のファイルを残します"},
            {kSendPageMove, ControlKind::RadioButton, "送り先にファイルを移動する(&M)", 10, 85, 130, 10, 0,
             "元のファイルを残しません"},
            {kStatic, ControlKind::GroupBox, "外部プログラムへ送る", 5, 105, 200, 80},
            {kStatic, ControlKind::Label, "登録されているプログラム(&P):", 10, 115, 85, 8},
            {kSendPagePrograms, ControlKind::ListBox, "", 10, 125, 140, 55, 0,
             "登録されている外部プログラム一覧です"},
            {kSendPageAdd, ControlKind::PushButton, "追加(&N)...", 155, 125, 45, 14, 0, "外部プログラムを追加します"},
            {kSendPageEdit, ControlKind::PushButton, "編集(&E)...", 155, 145, 45, 14, 0,
             "選択されているアイテムを編集します"},
            {kSendPageDelete, ControlKind::PushButton, "削除(&D)", 155, 165, 45, 14, 0,
             "選択されているアイテムを削除します"},
        },
    };
    return dialog;
}

const DialogTemplate& ProgramEditTemplate() {
    // The two boxes one under the other, browse beside the command, the buttons at the top right.
    static const DialogTemplate dialog{
        kDialogProgramEdit,
        "",
        235,
        65,
        {
            {kStatic, ControlKind::Label, "プログラムの名前(&N):", 7, 7, 170, 8},
            {kProgramEditName, ControlKind::Edit, "", 7, 17, 170, 12},
            {kStatic, ControlKind::Label, "プログラムのコマンドまたは実行可能ファイルのパス(&C):", 7, 34, 170, 8},
            {kProgramEditCommand, ControlKind::Edit, "", 7, 44, 130, 12},
            {kProgramEditBrowse, ControlKind::PushButton, "参照(&B)...", 140, 43, 37, 14},
            {kIdOk, ControlKind::DefaultPushButton, "OK", 183, 7, 45, 14},
            {kIdCancel, ControlKind::PushButton, "キャンセル", 183, 24, 45, 14},
        },
    };
    return dialog;
}

} // namespace pirela::res
