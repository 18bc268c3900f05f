#pragma once

class QFileDialog;

namespace pirela {

// Makes the size, type and date columns of Qt's own file dialog as wide as what they show,
// the name column taking the rest, and opens the dialog wide enough for all four.
void ShowFileColumnsWhole(QFileDialog& dialog);

} // namespace pirela
