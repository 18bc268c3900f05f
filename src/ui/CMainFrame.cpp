#include "ui/CMainFrame.h"

#include "res/Accelerators.h"
#include "res/MenuResource.h"
#include "res/Messages.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"
#include "res/ToolBarResource.h"
#include "ui/FramePlacement.h"
#include "ui/KeyboardAccelerators.h"
#include "ui/MenuEntries.h"
#include "ui/QtText.h"
#include "view/StatusTexts.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace pirela {

namespace {

constexpr const char* kProgramTitle = "Pirela";

} // namespace

CMainFrame::CMainFrame(std::function<void()> onClose, QWidget* parent)
    : QMainWindow(parent), placement_(new FramePlacement(*this)), onClose_(std::move(onClose)) {
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
    connect(action, &QAction::triggered, this, [this, commandId] { RunCommand(commandId); });
    actions_[commandId] = action;
    return action;
}

void CMainFrame::RunCommand(int commandId) {
    if (commands_.HeldAtGate(commandId)) {
        // Dropped, not kept for later: a key meant for this photo must not act on the next.
        if (onRefused_) {
            onRefused_();
        }
        return;
    }
    commands_.Execute(commandId);
    UpdateCommandUi();
}

void CMainFrame::BuildMenuBar() {
    const auto addCommand = [this](QMenu& menu, const res::MenuEntry& entry) {
        // The text after "\t" is the key hint the menu shows on the right.
        QAction* action = ActionFor(entry.id, ToQString(entry.text));
        menu.addAction(action);
        return action;
    };
    for (const res::MenuEntry& popup : res::MainMenu()) {
        AddMenuEntries(*menuBar()->addMenu(ToQString(popup.text)), popup.children, addCommand);
    }
    for (QMenu* menu : menuBar()->findChildren<QMenu*>()) {
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUi);
        ShowPromptsOf(menu);
        if (menu->title() == QStringLiteral("プログラム(&P)")) {
            programMenu_ = menu;
        }
        if (menu->title() == QStringLiteral("ファイル マネージャで参照(&X)")) {
            explorerMenu_ = menu;
        }
    }
}

void CMainFrame::BuildAccelerators() {
    // The keys run the commands themselves, not through Qt's shortcuts, so that they can
    // stand aside for dialogs, popups and menus (see KeyboardAccelerators).
    accelerators_ = new KeyboardAccelerators(
        res::MainAccelerators(), [this](int command) { RunCommand(command); }, this);
    accelerators_->AddWindow(this);
    for (const res::Accelerator& accelerator : res::MainAccelerators()) {
        ActionFor(accelerator.command, QString()); // the key-only commands have actions too
    }
}

void CMainFrame::ShowPromptsOf(QMenu* menu) {
    menu->installEventFilter(this);
}

void CMainFrame::ShowPrompt(const QAction* action) {
    statusBar()->showMessage(action != nullptr ? action->statusTip() : QString());
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    auto* menu = qobject_cast<QMenu*>(watched);
    if (menu == nullptr) {
        return QMainWindow::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::MouseMove:
        // Qt names only enabled items; a greyed item says what it would do as well.
        promptedAction_ = menu->actionAt(static_cast<QMouseEvent*>(event)->position().toPoint());
        ShowPrompt(promptedAction_);
        break;
    case QEvent::KeyPress:
        QTimer::singleShot(0, menu, [this, menu] {
            promptedAction_ = menu->activeAction();
            ShowPrompt(promptedAction_);
        });
        break;
    case QEvent::Hide:
        promptedAction_ = nullptr;
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool CMainFrame::event(QEvent* event) {
    // Qt clears the message pane when the pointer reaches a greyed menu item; that item's
    // prompt stays.
    if (event->type() == QEvent::StatusTip &&
        static_cast<QStatusTipEvent*>(event)->tip().isEmpty() && promptedAction_ != nullptr &&
        !promptedAction_->statusTip().isEmpty()) {
        ShowPrompt(promptedAction_);
        return true;
    }
    return QMainWindow::event(event);
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

void CMainFrame::SetCameraLine(const std::string& line) {
    panes_[res::kPaneCamera]->setText(ToQString(line));
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
        if (const CommandTable::TextRule* prompt = commands_.FindPromptRule(id)) {
            action->setStatusTip(ToQString((*prompt)()));
        }
        action->setEnabled(commands_.IsEnabled(id));
        if (commands_.HasCheckMark(id)) {
            action->setCheckable(true);
            JoinChoiceGroup(id, action);
            action->setChecked(commands_.IsChecked(id));
        }
    }
    for (const auto& [id, action] : dropDownActions_) {
        action->setEnabled(commands_.IsEnabled(id));
    }
}

void CMainFrame::JoinChoiceGroup(int commandId, QAction* action) {
    const std::optional<int> group = commands_.ChoiceGroup(commandId);
    if (!group || action->actionGroup() != nullptr) {
        return;
    }
    QActionGroup*& actions = choiceGroups_[*group];
    if (actions == nullptr) {
        actions = new QActionGroup(this);
        // A rate set by hand in the settings file may match none of the items.
        actions->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    }
    actions->addAction(action);
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

void CMainFrame::ShowProgramMenu() {
    QWidget* button = toolBar_->widgetForAction(Action(res::kCmdProgramMenu));
    if (programMenu_ != nullptr && button != nullptr) {
        programMenu_->popup(button->mapToGlobal(QPoint(0, button->height())));
    }
}

void CMainFrame::ShowExplorerMenu() {
    QWidget* button = toolBar_->widgetForAction(Action(res::kCmdExplorerMenu));
    if (explorerMenu_ != nullptr && button != nullptr) {
        explorerMenu_->popup(button->mapToGlobal(QPoint(0, button->height())));
    }
}

void CMainFrame::AddSendBar(QDockWidget* bar) {
    addDockWidget(Qt::LeftDockWidgetArea, bar);
    commands_.Add(
        res::kCmdSendBar, [bar] { bar->setVisible(!bar->isVisible()); }, {},
        [bar] { return bar->isVisible(); });
}

QMenu* CMainFrame::DropDownMenu(bool forward) {
    QMenu*& menu = forward ? nextMenu_ : previousMenu_;
    if (menu == nullptr) {
        menu = new QMenu(ToQString(forward ? "次へ" : "前へ"), this);
        for (const res::MenuEntry& entry : res::NavigationDropDown(forward)) {
            // Its own actions: the drop-down's texts differ from the main menu's.
            auto* action = menu->addAction(ToQString(entry.text));
            const int id = entry.id;
            if (const res::CommandText* texts = res::FindCommandText(id)) {
                action->setStatusTip(ToQString(texts->prompt));
            }
            connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
            dropDownActions_.emplace_back(id, action);
        }
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUi);
        ShowPromptsOf(menu);
    }
    return menu;
}

QAction* CMainFrame::Action(int commandId) const {
    const auto found = actions_.find(commandId);
    return found == actions_.end() ? nullptr : found->second;
}

void CMainFrame::PlaceAt(const WindowRect& outer) {
    placement_->PlaceAt(outer);
}

WindowRect CMainFrame::NormalOuterRect() const {
    return placement_->NormalOuterRect();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (mayClose_ && !mayClose_()) {
        event->ignore();
        return;
    }
    if (onClose_) {
        onClose_();
    }
    event->accept();
    // A floating bar is a window of its own and would keep the program alive on its own:
    // closing the main window ends the program, whatever else is on the screen.
    for (QWidget* bar : findChildren<QWidget*>()) {
        if (bar->isWindow() && (qobject_cast<QToolBar*>(bar) || qobject_cast<QDockWidget*>(bar))) {
            bar->hide();
        }
    }
    QCoreApplication::quit();
}

} // namespace pirela
