#include "ui/CContextMenu.h"

#include "ui/CMainFrame.h"
#include "ui/MenuEntries.h"
#include "ui/QtText.h"

#include <QAction>
#include <QActionGroup>

namespace pirela {

CContextMenu::CContextMenu(CMainFrame& frame, QWidget* parent) : QMenu(parent), frame_(frame) {
    AddItems(*this, res::ContextMenu());
    connect(this, &QMenu::aboutToShow, this, &CContextMenu::FollowFrame);
    frame_.ShowPromptsOf(this);
}

void CContextMenu::AddItems(QMenu& menu, const std::vector<res::MenuEntry>& entries) {
    AddMenuEntries(menu, entries, [this](QMenu& submenu, const res::MenuEntry& entry) {
        QAction* item = submenu.addAction(ToQString(entry.text));
        const int id = entry.id;
        connect(item, &QAction::triggered, this, [this, id] {
            if (QAction* shared = frame_.Action(id); shared != nullptr && shared->isEnabled()) {
                shared->trigger();
            }
        });
        items_.push_back({id, item, entry.text[0] == '\0'});
        return item;
    });
}

void CContextMenu::FollowFrame() {
    frame_.UpdateCommandUi();
    for (const OwnItem& item : items_) {
        const QAction* shared = frame_.Action(item.id);
        item.action->setEnabled(shared != nullptr && shared->isEnabled());
        if (shared == nullptr) {
            continue;
        }
        item.action->setStatusTip(shared->statusTip());
        item.action->setCheckable(shared->isCheckable());
        if (shared->actionGroup() != nullptr && item.action->actionGroup() == nullptr) {
            JoinChoices(item.action); // the zoom rates: radio marks, as in the main menu
        }
        item.action->setChecked(shared->isChecked());
        if (item.textFromFrame) {
            item.action->setText(shared->text());
        }
    }
}

void CContextMenu::JoinChoices(QAction* item) {
    if (choices_ == nullptr) {
        choices_ = new QActionGroup(this);
        choices_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    }
    choices_->addAction(item);
}

QAction* CContextMenu::Item(int commandId) const {
    for (const OwnItem& item : items_) {
        if (item.id == commandId) {
            return item.action;
        }
    }
    return nullptr;
}

} // namespace pirela
