#include "res/DialogTemplates.h"

#include "res/ResourceIds.h"

namespace pirela::res {

namespace {

constexpr int kLabelLeft = 14;
constexpr int kFieldLeft = 56;
constexpr int kFieldWidth = 114;
constexpr int kRowHeight = 11;

// One row of a group: its label and the read-only field beside it.
void AddRow(std::vector<ControlTemplate>& controls, const char* label, int id, int top) {
    controls.push_back({kStatic, ControlKind::Label, label, kLabelLeft, top + 1, 40, 8});
    controls.push_back({id, ControlKind::BorderlessReadOnlyEdit, "", kFieldLeft, top, kFieldWidth, 10});
}

DialogTemplate MakePropertiesTemplate() {
    // The caption is the file's name and " のプロパティ", set when the dialog opens.
    DialogTemplate dialog{kDialogProperties, "", 183, 275, {}};
    auto& controls = dialog.controls;
    // The program's icon until the desktop's icon for the file replaces it.
    controls.push_back({kPropertiesIcon, ControlKind::Icon, "", 7, 5, 20, 20, kMainFrame});
    // Each group keeps a few units below its last row, so the frame never touches its text.
    controls.push_back({kStatic, ControlKind::GroupBox, "ファイル情報", 7, 27, 169, 58});
    AddRow(controls, "ファイル名:", kPropertiesName, 38);
    AddRow(controls, "場所:", kPropertiesFolder, 49);
    AddRow(controls, "サイズ:", kPropertiesSize, 60);
    AddRow(controls, "更新日時:", kPropertiesModified, 71);
    controls.push_back({kStatic, ControlKind::GroupBox, "イメージ情報", 7, 89, 169, 58});
    AddRow(controls, "形式:", kPropertiesType, 100);
    AddRow(controls, "画素数:", kPropertiesPixels, 111);
    AddRow(controls, "色:", kPropertiesColours, 122);
    AddRow(controls, "プロファイル:", kPropertiesColourProfile, 133);
    // What the camera recorded (EXIF).
    controls.push_back({kStatic, ControlKind::GroupBox, "撮影情報", 7, 151, 169, 102});
    const struct {
        const char* label;
        int id;
    } facts[] = {
        {"撮影日時:", kPropertiesTaken},       {"カメラ:", kPropertiesCamera},
        {"レンズ:", kPropertiesLens},          {"露出時間:", kPropertiesExposure},
        {"絞り値:", kPropertiesFNumber},       {"ISO 感度:", kPropertiesIso},
        {"焦点距離:", kPropertiesFocalLength}, {"向き:", kPropertiesOrientation},
    };
    for (int row = 0; row < 8; ++row) {
        AddRow(controls, facts[row].label, facts[row].id, 162 + row * kRowHeight);
    }
    controls.push_back({kIdOk, ControlKind::DefaultPushButton, "OK", 126, 257, 50, 14});
    return dialog;
}

} // namespace

const DialogTemplate& PropertiesTemplate() {
    static const DialogTemplate dialog = MakePropertiesTemplate();
    return dialog;
}

} // namespace pirela::res
