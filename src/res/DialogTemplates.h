#pragma once

#include <vector>

namespace pirela::res {

enum class ControlKind {
    Icon,
    Label,
    CentredLabel,
    PushButton,
    DefaultPushButton,
    ListBox,
    Edit,                   // one line, scrolling sideways
    ReadOnlyEdit,           // with its border
    BorderlessReadOnlyEdit, // reads like a label, yet its text can be selected and copied
    CheckBox,
    RadioButton, // the radio buttons of one dialog form one group
    GroupBox,    // a titled frame; the controls inside it follow it in the template
    SunkenFrame,
    IconButton, // a flat button showing its icon resource beside its text
};

// One control of a dialog template. The rectangle is in dialog units: a quarter of the dialog
// font's average character width across, an eighth of its height down.
struct ControlTemplate {
    int id;
    ControlKind kind;
    const char* text;
    int x;
    int y;
    int width;
    int height;
    int iconResource = 0;          // for icons and icon buttons
    const char* toolTip = nullptr; // the sentence shown while the pointer rests on the control
};

struct DialogTemplate {
    int id;
    const char* caption;
    int width;
    int height;
    std::vector<ControlTemplate> controls;
};

// The font of every dialog; the user interface maps it to an installed Japanese font.
inline constexpr const char* kDialogFontFamily = "MS UI Gothic";
inline constexpr int kDialogFontPoints = 9;

const DialogTemplate& AboutBoxTemplate();
const DialogTemplate& BusyWindowTemplate();
const DialogTemplate& FileListTemplate();
const DialogTemplate& SendRenameTemplate();
const DialogTemplate& BatchRenameTemplate();
// The options sheet's pages and the external program dialog.
const DialogTemplate& GeneralPageTemplate();
const DialogTemplate& FindPageTemplate();
const DialogTemplate& SendPageTemplate();
const DialogTemplate& ProgramEditTemplate();
const DialogTemplate& SendBarTemplate();
const DialogTemplate& DestFoldersTemplate();
// The file properties dialog (131).
const DialogTemplate& PropertiesTemplate();

} // namespace pirela::res
