#pragma once

#include <vector>

namespace pirela::res {

enum class ControlKind { Icon, Label, CentredLabel, PushButton, DefaultPushButton, ListBox };

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
    int iconResource = 0; // for icons
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

} // namespace pirela::res
