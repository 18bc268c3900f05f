#pragma once

#include "app/DestinationFolderRows.h"

#include <QDialog>

#include <string>

class QLineEdit;

namespace pirela {

class Prompter;
struct AppSettings;

// "送り先フォルダの指定": the eight destination folders, one row each with its coloured
// folder, the path, "クリア" and "参照...". Its folder browser starts at the folder last
// chosen by browsing, here or in an earlier run.
class CDestFoldersDlg : public QDialog {
    Q_OBJECT
public:
    CDestFoldersDlg(const AppSettings& settings, QWidget* parent = nullptr);

    // Shows the dialog until every row holds an acceptable folder or the user cancels. After
    // each OK the acceptable rows are stored into the settings at once and each other row is
    // named in a message; the dialog then opens again with the texts as the user left them.
    // True when every row was stored.
    bool Run(AppSettings& settings, Prompter& prompter);

    DestinationRows Rows() const;
    const std::string& LastBrowsedFolder() const { return lastBrowsed_; }
    QLineEdit* Edit(int row) const { return edits_[row]; }

private:
    void Browse(int row);

    QLineEdit* edits_[8] = {};
    std::string lastBrowsed_;
};

} // namespace pirela
