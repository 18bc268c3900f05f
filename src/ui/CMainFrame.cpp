#include "ui/CMainFrame.h"

#include "res/Accelerators.h"
#include "res/MenuResource.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"
#include "res/ToolBarResource.h"
#include "ui/QtText.h"
#include "view/StatusTexts.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace pirela {

namespace {

constexpr const char* kProgramTitle = "Pirela";

} // namespace

CMainFrame::CMainFrame(Callbacks callbacks, QWidget* parent)
    : QMainWindow(parent), callbacks_(std::move(callbacks)) {
    setWindowTitle(QString::fromLatin1(kProgramTitle));
    commands_.Add(res::kCmdAppExit, [this] { close(); });
    commands_.Add(
        res::kCmdStatusBar, [this] { statusBar()->setVisible(!statusBar()->isVisible()); }, {},
        [this] { return statusBar()->isVisible(); });
    BuildMenuBar();
    BuildAccelerators();
    BuildToolBar();
    BuildStatusBar();
    // Menus and keys follow the document's state without anyone having to ask.
    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
            &CMainFrame::UpdateCommandUi);
}

QAction* CMainFrame::ActionFor(int commandId, const QString& text) {
    if (QAction* existing = Action(commandId)) {
        return existing;
    }
    auto* action = new QAction(text, this);
    if (const res::CommandText* texts = res::FindCommandText(commandId)) {
        action->setStatusTip(ToQString(texts->prompt));
        if (!texts->toolTip.empty()) {
            action->setToolTip(ToQString(texts->toolTip));
        }
    }
    connect(action, &QAction::triggered, this, [this, commandId] {
        commands_.Execute(commandId);
        UpdateCommandUi();
    });
    actions_[commandId] = action;
    return action;
}

void CMainFrame::BuildMenuBar() {
    std::function<void(QMenu&, const std::vector<res::MenuEntry>&)> addEntries =
        [&](QMenu& menu, const std::vector<res::MenuEntry>& entries) {
            for (const res::MenuEntry& entry : entries) {
                switch (entry.kind) {
                case res::MenuEntry::Kind::Separator:
                    menu.addSeparator();
                    break;
                case res::MenuEntry::Kind::Popup:
                    addEntries(*menu.addMenu(ToQString(entry.text)), entry.children);
                    break;
                case res::MenuEntry::Kind::Command:
                    // The text after "\t" is the key hint the menu shows on the right.
                    menu.addAction(ActionFor(entry.id, ToQString(entry.text)));
                    break;
                }
            }
        };
    for (const res::MenuEntry& popup : res::MainMenu()) {
        QMenu* menu = menuBar()->addMenu(ToQString(popup.text));
        addEntries(*menu, popup.children);
    }
    for (QMenu* menu : menuBar()->findChildren<QMenu*>()) {
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUi);
        if (menu->title() == QStringLiteral("プログラム(&P)")) {
            programMenu_ = menu;
        }
    }
}

void CMainFrame::BuildAccelerators() {
    std::map<int, QList<QKeySequence>> keys;
    for (const res::Accelerator& accelerator : res::MainAccelerators()) {
        keys[accelerator.command].append(QKeySequence(QString::fromLatin1(accelerator.keys)));
    }
    for (const auto& [command, sequences] : keys) {
        QAction* action = ActionFor(command, QString());
        action->setShortcuts(sequences);
        // The keys reach their commands whichever of the program's windows has the focus.
        action->setShortcutContext(Qt::ApplicationShortcut);
        addAction(action); // keys work whether or not the action stands in a menu
    }
}

void CMainFrame::BuildToolBar() {
    toolBar_ = addToolBar(QStringLiteral("ツール バー"));
    toolBar_->setObjectName(QStringLiteral("ToolBar")); // the name its docking state is kept under
    toolBar_->setIconSize(QSize(24, 24));
    for (const res::ToolBarEntry& entry : res::MainToolBar()) {
        if (entry.command == 0) {
            toolBar_->addSeparator();
            continue;
        }
        QAction* action = ActionFor(entry.command, QString());
        action->setIcon(QIcon(QStringLiteral(":/icons/toolbar/%1.svg").arg(QLatin1String(entry.icon))));
        if (action->text().isEmpty()) {
            action->setText(action->toolTip()); // a toolbar-only command: no menu text of its own
        }
        toolBar_->addAction(action);
        if (entry.dropDown) {
            auto* button = qobject_cast<QToolButton*>(toolBar_->widgetForAction(action));
            button->setMenu(DropDownMenu(entry.command == res::kCmdNext));
            button->setPopupMode(QToolButton::MenuButtonPopup);
        }
    }
    commands_.Add(
        res::kCmdToolBar, [this] { toolBar_->setVisible(!toolBar_->isVisible()); }, {},
        [this] { return toolBar_->isVisible(); });
}

void CMainFrame::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    for (int pane : res::kStatusPanes) {
        auto* label = new QLabel(bar);
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(
                                   ToQString(res::PanePrototypeText(pane))) +
                               8);
        label->setObjectName(QString::number(pane));
        bar->addPermanentWidget(label);
        panes_[pane] = label;
    }
    // The message pane shows menu prompts while the pointer rests on an item, "レディ" else.
    connect(bar, &QStatusBar::messageChanged, bar, [bar](const QString& message) {
        if (message.isEmpty()) {
            bar->showMessage(ToQString(res::kIdleText));
        }
    });
    bar->showMessage(ToQString(res::kIdleText));
}

void CMainFrame::SetStatusTexts(const StatusTexts& texts) {
    panes_[res::kPaneImage]->setText(ToQString(texts.image));
    panes_[res::kPaneFileSize]->setText(ToQString(texts.fileSize));
    panes_[res::kPaneZoom]->setText(ToQString(texts.zoom));
    panes_[res::kPaneFile]->setText(ToQString(texts.file));
}

QString CMainFrame::PaneText(int paneId) const {
    const auto found = panes_.find(paneId);
    return found == panes_.end() ? QString() : found->second->text();
}

void CMainFrame::UpdateCommandUi() {
    for (const auto& [id, action] : actions_) {
        if (const CommandTable::TextRule* text = commands_.FindTextRule(id)) {
            action->setText(ToQString((*text)()));
        }
        action->setEnabled(commands_.IsEnabled(id));
        if (commands_.HasCheckMark(id)) {
            action->setCheckable(true);
            action->setChecked(commands_.IsChecked(id));
        }
    }
    for (const auto& [id, action] : dropDownActions_) {
        action->setEnabled(commands_.IsEnabled(id));
    }
}

void CMainFrame::RebuildProgramMenu(const std::vector<std::string>& items) {
    if (programMenu_ == nullptr) {
        return;
    }
    for (int i = 0; i < 8; ++i) {
        if (QAction* old = Action(res::kCmdProgramFirst + i)) {
            programMenu_->removeAction(old);
        }
    }
    QAction* first = programMenu_->actions().value(0);
    for (std::size_t i = 0; i < items.size(); ++i) {
        QAction* action = ActionFor(res::kCmdProgramFirst + static_cast<int>(i), QString());
        action->setText(ToQString(items[i]));
        programMenu_->insertAction(first, action);
    }
    // Without a registered program the whole submenu is greyed.
    programMenu_->menuAction()->setEnabled(!items.empty());
}

QMenu* CMainFrame::DropDownMenu(bool forward) {
    QMenu*& menu = forward ? nextMenu_ : previousMenu_;
    if (menu == nullptr) {
        menu = new QMenu(ToQString(forward ? "次へ" : "前へ"), this);
        for (const res::MenuEntry& entry : res::NavigationDropDown(forward)) {
            // Its own actions: the drop-down's texts differ from the main menu's.
            auto* action = menu->addAction(ToQString(entry.text));
            const int id = entry.id;
            connect(action, &QAction::triggered, this, [this, id] {
                commands_.Execute(id);
                UpdateCommandUi();
            });
            dropDownActions_.emplace_back(id, action);
        }
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUi);
    }
    return menu;
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

void CMainFrame::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    // The first resize comes while the window is being made; nothing is shown yet.
    if (firstResizePending_) {
        firstResizePending_ = false;
        return;
    }
    if (callbacks_.onResize) {
        callbacks_.onResize();
    }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (callbacks_.onClose) {
        callbacks_.onClose();
    }
    event->accept();
}

} // namespace pirela
