#pragma once

#include "res/DialogTemplates.h"

#include <vector>

class QWidget;

namespace pirela {

// A control this many dialog units high holds two lines of text.
inline constexpr int kTwoLineDialogUnits = 15;

// A control of a template as the dialog builder placed it.
struct PlacedControl {
    const res::ControlTemplate* control;
    QWidget* widget;
};

// Fits the dialog to the font actually used, whose texts may be wider than the font the
// template's dialog units were laid out for. A one-line text control (label, check box, radio
// button, push button, group box title) too narrow for its text grows to the right, into the
// free room up to the next control beside it or the edge of its group box; one standing free at
// the dialog's right edge makes the dialog wider. A check box two lines high breaks its text
// into two lines, and a label two lines high grows until its text fits in them.
void FitControlsToTheirTexts(QWidget& dialog, const std::vector<PlacedControl>& placed);

} // namespace pirela
