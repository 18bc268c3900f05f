#pragma once

#include "res/MenuResource.h"

#include <QMenu>

#include <vector>

class QActionGroup;

namespace pirela {

class CMainFrame;

// The view's context menu (resource 132). Its items have texts of their own but act through
// the main window's actions: each is enabled and checked exactly as the main menu's item of
// the same command when the menu opens, and choosing it triggers that action. A command that
// is not built yet stands disabled here too.
class CContextMenu : public QMenu {
    Q_OBJECT
public:
    explicit CContextMenu(CMainFrame& frame, QWidget* parent = nullptr);

    // The own action of a command, or nullptr.
    QAction* Item(int commandId) const;

private:
    void AddItems(QMenu& menu, const std::vector<res::MenuEntry>& entries);
    // Takes the main window's state of every command, after its rules have run.
    void FollowFrame();
    void JoinChoices(QAction* item);

    struct OwnItem {
        int id;
        QAction* action;
        bool textFromFrame; // a destination: its text names the folder
    };

    CMainFrame& frame_;
    std::vector<OwnItem> items_;
    QActionGroup* choices_ = nullptr;
};

} // namespace pirela
