#include "ui/FileDialogColumns.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QTreeView>

#include <algorithm>

namespace pirela {

namespace {

// Room for the side bar, a name of some length and the three columns.
constexpr QSize kSmallestSize{760, 460};

} // namespace

void ShowFileColumnsWhole(QFileDialog& dialog) {
    // Qt gives the columns fixed widths that cut "JPEG イメージ" and the dates.
    if (auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* header = view->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int column = 1; column < header->count(); ++column) {
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
        }
    }
    dialog.resize(std::max(dialog.width(), kSmallestSize.width()),
                  std::max(dialog.height(), kSmallestSize.height()));
}

} // namespace pirela
