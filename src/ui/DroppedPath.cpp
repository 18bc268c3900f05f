#include "ui/DroppedPath.h"

#include <QList>
#include <QMimeData>
#include <QUrl>

namespace pirela {

namespace {

constexpr char kUriListFormat[] = "text/uri-list";

// The path of a "file:" URI as bytes: "file:///p", "file://localhost/p" or "file:/p".
std::optional<std::string> LocalPathOf(QByteArray uri) {
    uri = uri.trimmed();
    if (!uri.toLower().startsWith("file:")) {
        return std::nullopt;
    }
    QByteArray rest = uri.mid(5);
    if (rest.startsWith("//")) {
        const qsizetype slash = rest.indexOf('/', 2);
        const QByteArray host = rest.mid(2, slash < 0 ? -1 : slash - 2);
        if (slash < 0 || !(host.isEmpty() || host.toLower() == "localhost")) {
            return std::nullopt; // a file on another host
        }
        rest = rest.mid(slash);
    }
    const QByteArray path = QByteArray::fromPercentEncoding(rest);
    if (!path.startsWith('/')) {
        return std::nullopt;
    }
    return path.toStdString();
}

} // namespace

std::optional<std::string> FirstLocalPath(const QMimeData& data) {
    // The URI list as it was dropped: QUrl would replace bytes that are not UTF-8 before any
    // path could be taken from it.
    QList<QByteArray> uris = data.data(QLatin1String(kUriListFormat)).split('\n');
    if (!data.hasFormat(QLatin1String(kUriListFormat))) {
        uris.clear();
        for (const QUrl& url : data.urls()) {
            uris.push_back(url.toEncoded());
        }
    }
    for (const QByteArray& uri : uris) {
        if (uri.startsWith('#')) {
            continue; // a comment line of the list
        }
        if (std::optional<std::string> path = LocalPathOf(uri)) {
            return path;
        }
    }
    return std::nullopt;
}

} // namespace pirela
