#pragma once

#include "res/DialogTemplates.h"

#include <QFontMetrics>
#include <QRect>

class QDialog;
class QWidget;

namespace pirela {

// Converts a rectangle in dialog units to pixels for the given dialog font.
QRect DialogUnitsToPixels(const QRect& units, const QFontMetrics& metrics);

// Sizes the dialog and places every control of the template at its rectangle. Each control
// carries its identifier, so that FindControl finds it again.
void BuildDialog(QDialog& dialog, const res::DialogTemplate& dialogTemplate);

// The same for a window that is not a dialog (a bar's content): font, size and controls, but
// no caption, and OK and Cancel close nothing.
void BuildControls(QWidget& window, const res::DialogTemplate& dialogTemplate);

// The dialog's control with the identifier, or nullptr.
QWidget* FindControl(const QWidget& dialog, int id);

// Puts the widget in the place of the dialog's control with the identifier (its rectangle,
// its place in the tab order, its identifier) and deletes the control.
void ReplaceControl(QWidget& dialog, int id, QWidget* replacement);

} // namespace pirela
