#include "ui/ViewCommands.h"

#include "app/CPirelaDoc.h"
#include "app/HelpFile.h"
#include "app/ShellOpener.h"
#include "res/ResourceIds.h"
#include "settings/AppSettings.h"
#include "ui/BitmapSurface.h"
#include "ui/CFilePropertiesDlg.h"
#include "ui/CMainFrame.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>

namespace pirela {

namespace {

std::string HelpFilePath() {
    const std::string folder = QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
    return FindHelpFile(folder).string();
}

void RegisterFolderCommands(CMainFrame& frame, CPirelaDoc& doc, const AppSettings& settings,
                            ShellOpener& opener) {
    CommandTable& commands = frame.Commands();
    const ImageFileList& list = doc.FileList();
    commands.Add(res::kCmdExploreSource, [&opener, &list] { opener.OpenFolder(list.Folder()); },
                 [&list] { return !list.Folder().empty(); });
    for (int i = 0; i < kDestinationCount; ++i) {
        const std::string& folder = settings.destinationFolders[static_cast<std::size_t>(i)];
        commands.Add(res::kCmdExploreFirst + i, [&opener, &folder] { opener.OpenFolder(folder); },
                     [&folder] { return !folder.empty(); });
    }
    commands.Add(res::kCmdExplorerMenu, [&frame] { frame.ShowExplorerMenu(); });
}

} // namespace

void RegisterViewCommands(CMainFrame& frame, CPirelaDoc& doc, const AppSettings& settings,
                          ShellOpener& opener) {
    CommandTable& commands = frame.Commands();
    commands.Add(
        res::kCmdCopyToClipboard,
        [&doc] {
            // The whole bitmap: waits for a decode still running, which may yet fail.
            if (const Bitmap* pixels = doc.Image().Pixels()) {
                CopyBitmapToClipboard(*pixels);
            }
        },
        [&doc] { return doc.Image().HasBitmap(); });
    commands.Add(res::kCmdProperties, [&doc, &frame] {
        CFilePropertiesDlg dialog(doc.FileList().CurrentImagePath(), doc.Image().Info(), &frame);
        dialog.exec();
    }, [&doc] { return doc.FileList().HasCurrentImage(); });
    commands.Add(res::kCmdHelp, [&opener] { opener.OpenHelp(HelpFilePath()); });
    RegisterFolderCommands(frame, doc, settings, opener);
}

void CopyBitmapToClipboard(const Bitmap& bitmap) {
    BitmapSurface surface;
    surface.Reset(&bitmap);
    if (!surface.IsNull()) {
        QGuiApplication::clipboard()->setImage(surface.Whole());
    }
}

} // namespace pirela
