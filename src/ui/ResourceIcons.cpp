#include "ui/ResourceIcons.h"

#include "res/ResourceIds.h"

namespace pirela {

QIcon IconForResource(int resourceId) {
    switch (resourceId) {
    case res::kMainFrame:
        return QIcon(QStringLiteral(":/icons/pirela.svg"));
    case res::kIconBatchRename:
        return QIcon(QStringLiteral(":/icons/batch-rename.svg"));
    default:
        return QIcon();
    }
}

} // namespace pirela

namespace pirela {

QCursor DragCursor() {
    return QCursor(QIcon(QStringLiteral(":/icons/drag.svg")).pixmap(32, 32), 16, 16);
}

} // namespace pirela
