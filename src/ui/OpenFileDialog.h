#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace pirela {

// The open-file dialog: "ファイルを開く", starting in the given folder (the home folder when
// it is not one), with the filters
// of the image types Pirela opens. The chosen existing file, or none when cancelled.
std::optional<QString> AskForImageFile(QWidget* owner, const QString& startFolder);

// The filter lines as the dialog shows them, description first; after each, in a second pair
// of parentheses that the dialog hides, the patterns it matches.
QStringList ImageFileFilters();

} // namespace pirela
