#include "ui/CSendBar.h"

#include "res/DialogTemplates.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"
#include "settings/AppSettings.h"
#include "ui/CIconButton.h"
#include "ui/CMainFrame.h"
#include "ui/DialogBuilder.h"
#include "ui/QtText.h"
#include "ui/ResourceIcons.h"
#include "view/MenuTexts.h"

#include <QAction>
#include <QStyle>

namespace pirela {

CSendBar::CSendBar(AppSettings& settings, CMainFrame& frame)
    : QDockWidget(&frame), settings_(settings), frame_(frame), content_(new QWidget(this)) {
    setObjectName(QStringLiteral("SendBar")); // the name its docking state is kept under
    if (const res::CommandText* texts = res::FindCommandText(res::kCmdSendBar)) {
        setWindowTitle(ToQString(texts->toolTip)); // "送る ダイアログ バー", shown while floating
    }
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable |
                QDockWidget::DockWidgetClosable);
    BuildControls(*content_, res::SendBarTemplate());
    FitTitle();
    // A short main window cuts the bar off at the bottom rather than being made taller.
    content_->setMinimumHeight(0);
    setWidget(content_);
    for (int i = 0; i < 8; ++i) {
        destinations_[i] = static_cast<CIconButton*>(FindControl(*content_, res::kSendBarDestinations[i]));
    }
    static_cast<CIconButton*>(Control(res::kSendBarFolderButton))->SetShowCaption(false);
    ConnectDestinationButtons();
    ConnectOptions();
}

void CSendBar::FitTitle() {
    const QStyle& look = *style();
    const int button = look.pixelMetric(QStyle::PM_SmallIconSize, nullptr, this) +
                       2 * look.pixelMetric(QStyle::PM_DockWidgetTitleBarButtonMargin, nullptr, this);
    const int margin = look.pixelMetric(QStyle::PM_DockWidgetTitleMargin, nullptr, this);
    const int needed = fontMetrics().horizontalAdvance(windowTitle()) + 2 * button + 4 * margin;
    if (needed > content_->width()) {
        content_->setFixedWidth(needed);
    }
}

QAbstractButton* CSendBar::Control(int id) const {
    return qobject_cast<QAbstractButton*>(FindControl(*content_, id));
}

void CSendBar::ConnectDestinationButtons() {
    // Each button gives its command through the command's action, as its key and menu item
    // do, and follows the action's enabling, which the frame derives from the command's rule.
    for (int i = 0; i < 8; ++i) {
        QAction* action = frame_.Action(res::kCmdDestinations[i]);
        CIconButton* button = destinations_[i];
        connect(button, &QAbstractButton::clicked, action, &QAction::trigger);
        connect(action, &QAction::changed, button,
                [button, action] { button->setEnabled(action->isEnabled()); });
    }
    if (QAction* folders = frame_.Action(res::kCmdDestinationFolders)) {
        connect(Control(res::kSendBarFolderButton), &QAbstractButton::clicked, folders,
                &QAction::trigger);
    }
}

void CSendBar::ConnectOptions() {
    connect(Control(res::kSendBarCopy), &QAbstractButton::clicked, this,
            [this] { settings_.options.sendType = 1; });
    connect(Control(res::kSendBarMove), &QAbstractButton::clicked, this,
            [this] { settings_.options.sendType = 0; });
    connect(Control(res::kSendBarAsk), &QAbstractButton::clicked, this,
            [this](bool checked) { settings_.options.ask = checked ? 1 : 0; });
    connect(Control(res::kSendBarRename), &QAbstractButton::clicked, this,
            [this](bool checked) { settings_.options.changeFileName = checked ? 1 : 0; });
}

void CSendBar::Refresh() {
    for (int i = 0; i < 8; ++i) {
        const std::string& folder = settings_.destinationFolders[static_cast<std::size_t>(i)];
        CIconButton* button = destinations_[i];
        button->setText(ToQString(SendBarCaption(i + 1, folder)));
        button->setIcon(IconForResource(folder.empty() ? res::kIconDestinationUnset
                                                       : res::kIconDestinations[i]));
        button->setToolTip(ToQString(SendBarToolTip(folder)));
    }
    UpdateEnabling();
    // Any value other than 0 sends by copying, as the send itself reads it.
    const bool copy = settings_.options.sendType != 0;
    Control(res::kSendBarCopy)->setChecked(copy);
    Control(res::kSendBarMove)->setChecked(!copy);
    Control(res::kSendBarAsk)->setChecked(settings_.options.ask != 0);
    Control(res::kSendBarRename)->setChecked(settings_.options.changeFileName != 0);
}

void CSendBar::UpdateEnabling() {
    for (int i = 0; i < 8; ++i) {
        destinations_[i]->setEnabled(frame_.Commands().IsEnabled(res::kCmdDestinations[i]));
    }
}

} // namespace pirela
