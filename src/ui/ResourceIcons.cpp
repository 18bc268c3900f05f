#include "ui/ResourceIcons.h"

#include "res/ResourceIds.h"

namespace pirela {

QIcon IconForResource(int resourceId) {
    switch (resourceId) {
    case res::kMainFrame:
        return QIcon(QStringLiteral(":/icons/pirela.svg"));
    default:
        return QIcon();
    }
}

} // namespace pirela
