#include "ui/DroppedPath.h"

#include <QMimeData>
#include <QUrl>

namespace pirela {

std::optional<std::string> FirstLocalPath(const QMimeData& data) {
    for (const QUrl& url : data.urls()) {
        const QString host = url.host();
        if (!url.isLocalFile() || !(host.isEmpty() || host == QLatin1String("localhost"))) {
            continue;
        }
        // QUrl::toLocalFile goes through QString and would replace bytes that are not UTF-8;
        // the percent-encoded path still holds them.
        const QByteArray path =
            QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
        if (!path.isEmpty()) {
            return path.toStdString();
        }
    }
    return std::nullopt;
}

} // namespace pirela
