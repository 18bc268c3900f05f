#include "ui/CDesktopServices.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace pirela {

namespace {

// File names are bytes; Qt decodes them the way it encodes them again.
QString FileName(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

// The desktop's opener reports success before anything has opened, even for a path that does
// not exist, so the path is checked first.
bool OpenExisting(const QFileInfo& target) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(target.absoluteFilePath()));
}

} // namespace

bool CDesktopServices::MoveToTrash(const std::string& path) {
    const QString name = FileName(path);
    // Without the user's data folder Qt cannot set up the home trash and puts the file into a
    // "files" folder under the current directory instead. The trash's own rules say to create
    // the folder when it is missing.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    return QFileInfo::exists(name) && QFile::moveToTrash(name);
}

bool CDesktopServices::OpenFolder(const std::string& folder) {
    const QFileInfo target(FileName(folder));
    return target.isDir() && OpenExisting(target);
}

bool CDesktopServices::OpenFile(const std::string& file) {
    const QFileInfo target(FileName(file));
    return target.isFile() && OpenExisting(target);
}

bool CDesktopServices::StartProgram(const std::string& command, const std::string& argument) {
    return !command.empty() &&
           QProcess::startDetached(FileName(command), {FileName(argument)});
}

} // namespace pirela
