#pragma once

#include "settings/AppSettings.h"
#include "ui/CommandTable.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

class QAction;
class QActionGroup;
class QDockWidget;
class QLabel;
class QMenu;
class QToolBar;

namespace pirela {

class FramePlacement;
class KeyboardAccelerators;
struct StatusTexts;

// The program's one top-level window: menu bar, status bar and, as its client, the image view.
// Every command reaches the command table through an action keyed by its identifier, whether
// it comes from a menu or a key.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    // onClose runs before the window goes away: it saves the settings.
    explicit CMainFrame(std::function<void()> onClose, QWidget* parent = nullptr);
    // Asked first when the window is to close; false keeps it open.
    void SetCloseGuard(std::function<bool()> mayClose) { mayClose_ = std::move(mayClose); }
    // Runs when a command is refused by the command table's gate (file work running).
    void SetOnRefused(std::function<void()> onRefused) { onRefused_ = std::move(onRefused); }

    CommandTable& Commands() { return commands_; }

    // Puts the window's outer edges at the rectangle, window frame included.
    void PlaceAt(const WindowRect& outer);
    // The outer rectangle of the window when it is neither maximised nor minimised, so that a
    // restart brings back that size (and the maximised state on its own).
    WindowRect NormalOuterRect() const;

    // The program's keys; other windows of the program join them here.
    KeyboardAccelerators& Accelerators() { return *accelerators_; }

    // The action of a command, or nullptr.
    QAction* Action(int commandId) const;

    // Enables and marks each action by its command's rules. Runs when a menu opens, after
    // every command and whenever the event loop goes idle.
    void UpdateCommandUi();

    // Puts the external programs' items ("&1 name", ...) at the top of the "プログラム(&P)"
    // submenu, greying the whole submenu when there are none.
    void RebuildProgramMenu(const std::vector<std::string>& items);

    // Drops the "プログラム(&P)" submenu down from the toolbar's program button.
    void ShowProgramMenu();
    // Drops the "ファイル マネージャで参照(&X)" submenu down from the toolbar's file-manager button.
    void ShowExplorerMenu();
    // Docks the send dialog bar at the left edge (left or right, or floating, from then on) and
    // lets command 32831 show and hide it, checked while it is shown.
    void AddSendBar(QDockWidget* bar);

    // The toolbar's drop-down menu of the previous (false) or next (true) button.
    QMenu* DropDownMenu(bool forward);

    // The menu's items show their prompts in the message pane, disabled ones included.
    void ShowPromptsOf(QMenu* menu);

    // The four panes after the message pane.
    void SetStatusTexts(const StatusTexts& texts);
    // The pane of the camera's facts: "1/250 秒  f/2.8  ISO 400  50 mm".
    void SetCameraLine(const std::string& line);
    QString PaneText(int paneId) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenuBar();
    void BuildAccelerators();
    void BuildToolBar();
    void BuildStatusBar();
    QAction* ActionFor(int commandId, const QString& text);
    void ShowPrompt(const QAction* action);
    void RunCommand(int commandId);
    // Puts the action of a command with a choice group into that group's exclusive set.
    void JoinChoiceGroup(int commandId, QAction* action);

    CommandTable commands_;
    std::map<int, QAction*> actions_;
    std::map<int, QLabel*> panes_;
    QToolBar* toolBar_ = nullptr;
    QMenu* programMenu_ = nullptr;
    QMenu* explorerMenu_ = nullptr;
    QMenu* previousMenu_ = nullptr;
    QMenu* nextMenu_ = nullptr;
    std::vector<std::pair<int, QAction*>> dropDownActions_;
    std::map<int, QActionGroup*> choiceGroups_;
    QPointer<QAction> promptedAction_; // the menu item under the pointer or the keyboard
    KeyboardAccelerators* accelerators_ = nullptr;
    FramePlacement* placement_ = nullptr;
    std::function<void()> onClose_;
    std::function<bool()> mayClose_;
    std::function<void()> onRefused_;
};

} // namespace pirela
