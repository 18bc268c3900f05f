#include "ui/ProgramFileDialog.h"

#include "res/ProgramTexts.h"
#include "ui/FileDialogColumns.h"
#include "ui/QtText.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QSortFilterProxyModel>

namespace pirela {

namespace {

// Folders, and the files this user may run. The file system model's own permission filter
// cannot say this: asked for executables it hides every file that is readable or writable too,
// which leaves an empty list.
class ProgramsAndFolders : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (files == nullptr) {
            return true;
        }
        const QModelIndex entry = files->index(row, 0, parent);
        return files->isDir(entry) || files->fileInfo(entry).isExecutable();
    }
};

} // namespace

std::optional<std::string> AskForProgramFile(QWidget* owner, const std::string& startFolder) {
    QFileDialog dialog(owner, ToQString(res::kChooseProgramTitle), ToQString(startFolder),
                       ToQString(res::kProgramFilter));
    // Programs here have no extension to filter by; the executable bit says what one is.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFilter(QDir::Files | QDir::AllDirs | QDir::NoDotAndDotDot);
    dialog.setProxyModel(new ProgramsAndFolders(&dialog));
    dialog.setFileMode(QFileDialog::ExistingFile);
    ShowFileColumnsWhole(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return ToUtf8(dialog.selectedFiles().constFirst());
}

} // namespace pirela
