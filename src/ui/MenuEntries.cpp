#include "ui/MenuEntries.h"

#include "ui/QtText.h"

#include <QMenu>

namespace pirela {

void AddMenuEntries(QMenu& menu, const std::vector<res::MenuEntry>& entries,
                    const std::function<QAction*(QMenu&, const res::MenuEntry&)>& addCommand) {
    for (const res::MenuEntry& entry : entries) {
        switch (entry.kind) {
        case res::MenuEntry::Kind::Separator:
            menu.addSeparator();
            break;
        case res::MenuEntry::Kind::Popup:
            AddMenuEntries(*menu.addMenu(ToQString(entry.text)), entry.children, addCommand);
            break;
        case res::MenuEntry::Kind::Command:
            addCommand(menu, entry);
            break;
        }
    }
}

} // namespace pirela
