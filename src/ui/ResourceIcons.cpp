#include "ui/ResourceIcons.h"

#include "res/ResourceIds.h"

#include <map>

namespace pirela {

namespace {

// The destinations' coloured folders (1 to 8), the unset one and the folder button's picture.
const std::map<int, const char*>& DestinationIconFiles() {
    static const std::map<int, const char*> files{
        {res::kIconDestinations[0], "134-yellow"},       {res::kIconDestinations[1], "135-cyan"},
        {res::kIconDestinations[2], "136-magenta"},      {res::kIconDestinations[3], "148-bright-green"},
        {res::kIconDestinations[4], "152-blue"},         {res::kIconDestinations[5], "153-red"},
        {res::kIconDestinations[6], "154-purple"},       {res::kIconDestinations[7], "155-dark-green"},
        {res::kIconDestinationUnset, "156-unset"},       {res::kIconFolderButton, "143-folder-button"},
    };
    return files;
}

} // namespace

QIcon IconForResource(int resourceId) {
    if (resourceId == res::kMainFrame) {
        return QIcon(QStringLiteral(":/icons/pirela.svg"));
    }
    if (resourceId == res::kIconBatchRename) {
        return QIcon(QStringLiteral(":/icons/batch-rename.svg"));
    }
    // The option pages' pictures: the program in general, image search, sending files.
    if (resourceId == res::kIconGeneralPage) {
        return QIcon(QStringLiteral(":/icons/options/140-general.svg"));
    }
    if (resourceId == res::kIconSendPage) {
        return QIcon(QStringLiteral(":/icons/options/141-send.svg"));
    }
    if (resourceId == res::kIconFindPage) {
        return QIcon(QStringLiteral(":/icons/options/142-find.svg"));
    }
    const auto found = DestinationIconFiles().find(resourceId);
    if (found == DestinationIconFiles().end()) {
        return QIcon();
    }
    return QIcon(QStringLiteral(":/icons/destinations/%1.svg").arg(QLatin1String(found->second)));
}

} // namespace pirela

namespace pirela {

QCursor DragCursor() {
    return QCursor(QIcon(QStringLiteral(":/icons/drag.svg")).pixmap(32, 32), 16, 16);
}

} // namespace pirela
