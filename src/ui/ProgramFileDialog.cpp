#include "ui/ProgramFileDialog.h"

#include "res/ProgramTexts.h"
#include "ui/FileDialogColumns.h"
#include "ui/QtText.h"

#include <QCollator>
#include <QDateTime>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QSortFilterProxyModel>

namespace pirela {

namespace {

// Folders, and the files this user may run. The file system model's own permission filter
// cannot say this: asked for executables it hides every file that is readable or writable too,
// which leaves an empty list. Sorted as the dialog sorts without it: folders first, names in
// natural order, sizes and dates by their values.
class ProgramsAndFolders : public QSortFilterProxyModel {
public:
    explicit ProgramsAndFolders(QObject* parent) : QSortFilterProxyModel(parent) {
        names_.setNumericMode(true);
        names_.setCaseSensitivity(Qt::CaseInsensitive);
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        const QFileSystemModel& files = Files();
        const QModelIndex entry = files.index(row, 0, parent);
        return files.isDir(entry) || files.fileInfo(entry).isExecutable();
    }

    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override {
        const QFileSystemModel& files = Files();
        if (files.isDir(left) != files.isDir(right)) {
            return files.isDir(left);
        }
        switch (left.column()) {
        case kSizeColumn:
            return files.size(left) < files.size(right);
        case kDateColumn:
            return files.lastModified(left) < files.lastModified(right);
        default:
            return names_.compare(left.data().toString(), right.data().toString()) < 0;
        }
    }

private:
    static constexpr int kSizeColumn = 1;
    static constexpr int kDateColumn = 3;

    const QFileSystemModel& Files() const {
        return static_cast<const QFileSystemModel&>(*sourceModel());
    }

    QCollator names_;
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
