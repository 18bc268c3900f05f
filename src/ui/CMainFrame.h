#pragma once

#include "app/AppSettings.h"
#include "ui/CommandTable.h"

#include <QMainWindow>

#include <functional>
#include <map>

class QAction;
class QMenu;

namespace pirela {

// The program's one top-level window: menu bar and, later, toolbar, bars and the image view.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    // onClose runs when the window is about to close, before it goes away.
    explicit CMainFrame(std::function<void()> onClose, QWidget* parent = nullptr);

    CommandTable& Commands() { return commands_; }

    // Puts the window's outer edges at the rectangle, window frame included.
    void PlaceAt(const WindowRect& outer);
    WindowRect OuterRect() const;

    // The action of a command's menu item, or nullptr.
    QAction* Action(int commandId) const;

    // Enables each action by its command's rule.
    void UpdateCommandUi();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildMenuBar();
    void FitFrameToPlacement();

    CommandTable commands_;
    std::map<int, QAction*> actions_;
    std::function<void()> onClose_;
    WindowRect placement_;
    bool placementPending_ = false;
};

} // namespace pirela
