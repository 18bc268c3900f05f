#pragma once

#include <QString>

class QWidget;

namespace pirela {

// The program's one folder chooser: preselects a folder, shows a title, can carry the check
// box "サブフォルダも検索する(&S)" in its button row left of OK, and returns only real folders.
class CFolderBrowser {
public:
    CFolderBrowser(bool showCheckBox, bool checked);

    void SetOwner(QWidget* owner) { owner_ = owner; }

    // On entry folder is the folder to preselect (empty or missing: none); on success it is the
    // chosen folder. False when the user cancels; folder is then unchanged.
    bool Browse(QString& folder, const QString& title);

    // The check box's state when the browser closed.
    bool CheckBoxState() const { return checked_; }

private:
    QWidget* owner_ = nullptr;
    bool showCheckBox_;
    bool checked_;
};

} // namespace pirela
