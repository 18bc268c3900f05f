#include "ui/CMainFrame.h"

#include "res/MenuResource.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"
#include "ui/QtText.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenuBar>
#include <QTimer>

namespace pirela {

namespace {

constexpr const char* kProgramTitle = "Pirela";

void AddEntries(QMenu& menu, const std::vector<res::MenuEntry>& entries,
                const std::function<QAction*(QMenu&, const res::MenuEntry&)>& addCommand) {
    for (const res::MenuEntry& entry : entries) {
        switch (entry.kind) {
        case res::MenuEntry::Kind::Separator:
            menu.addSeparator();
            break;
        case res::MenuEntry::Kind::Popup:
            AddEntries(*menu.addMenu(ToQString(entry.text)), entry.children, addCommand);
            break;
        case res::MenuEntry::Kind::Command:
            addCommand(menu, entry);
            break;
        }
    }
}

} // namespace

CMainFrame::CMainFrame(std::function<void()> onClose, QWidget* parent)
    : QMainWindow(parent), onClose_(std::move(onClose)) {
    setWindowTitle(QString::fromLatin1(kProgramTitle));
    commands_.Add(res::kCmdAppExit, [this] { close(); });
    BuildMenuBar();
}

void CMainFrame::BuildMenuBar() {
    const auto addCommand = [this](QMenu& menu, const res::MenuEntry& entry) {
        // The text after "\t" is the key hint that the menu shows on the right.
        QAction* action = menu.addAction(ToQString(entry.text));
        if (const res::CommandText* texts = res::FindCommandText(entry.id)) {
            action->setStatusTip(ToQString(texts->prompt));
        }
        const int id = entry.id;
        connect(action, &QAction::triggered, this, [this, id] {
            commands_.Execute(id);
            UpdateCommandUi();
        });
        actions_[id] = action;
        return action;
    };
    for (const res::MenuEntry& popup : res::MainMenu()) {
        QMenu* menu = menuBar()->addMenu(ToQString(popup.text));
        AddEntries(*menu, popup.children, addCommand);
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUi);
    }
}

void CMainFrame::UpdateCommandUi() {
    for (const auto& [id, action] : actions_) {
        action->setEnabled(commands_.IsEnabled(id));
    }
}

QAction* CMainFrame::Action(int commandId) const {
    const auto found = actions_.find(commandId);
    return found == actions_.end() ? nullptr : found->second;
}

void CMainFrame::PlaceAt(const WindowRect& outer) {
    placement_ = outer;
    placementPending_ = true;
    // Until the window is shown its frame is unknown: place the client at the outer rectangle
    // and take the frame off once the window system has added it.
    move(outer.left, outer.top);
    resize(outer.Width(), outer.Height());
}

void CMainFrame::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (placementPending_) {
        QTimer::singleShot(0, this, &CMainFrame::FitFrameToPlacement);
    }
}

void CMainFrame::FitFrameToPlacement() {
    placementPending_ = false;
    const QRect frame = frameGeometry();
    const QRect client = geometry();
    const int extraWidth = frame.width() - client.width();
    const int extraHeight = frame.height() - client.height();
    if (extraWidth > 0 || extraHeight > 0) {
        resize(placement_.Width() - extraWidth, placement_.Height() - extraHeight);
        move(placement_.left, placement_.top);
    }
}

WindowRect CMainFrame::OuterRect() const {
    const QRect frame = frameGeometry();
    return WindowRect{frame.x(), frame.y(), frame.x() + frame.width(),
                      frame.y() + frame.height()};
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (onClose_) {
        onClose_();
    }
    event->accept();
}

} // namespace pirela
