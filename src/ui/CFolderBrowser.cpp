#include "ui/CFolderBrowser.h"

#include "res/ResourceIds.h"
#include "ui/FileDialogColumns.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>

namespace pirela {

namespace {

constexpr const char* kCheckBoxText = "サブフォルダも検索する(&S)";

QWidget* DefaultOwner() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->inherits("QMainWindow")) {
            return widget;
        }
    }
    return nullptr;
}

// Qt's own dialog stacks OK and Cancel on its right; they go into one row across the bottom,
// with the check box at the row's left.
QCheckBox* AddCheckBoxToButtonRow(QFileDialog& dialog) {
    auto* buttons = dialog.findChild<QDialogButtonBox*>();
    auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
    if (buttons == nullptr || grid == nullptr) {
        return nullptr;
    }
    grid->removeWidget(buttons);
    buttons->setOrientation(Qt::Horizontal);
    auto* row = new QWidget(&dialog);
    auto* rowLayout = new QHBoxLayout(row);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    auto* checkBox = new QCheckBox(QString::fromUtf8(kCheckBoxText), row);
    checkBox->setObjectName(QString::number(res::kFolderBrowserCheckBox));
    rowLayout->addWidget(checkBox);
    rowLayout->addStretch();
    rowLayout->addWidget(buttons);
    grid->addWidget(row, grid->rowCount(), 0, 1, grid->columnCount());
    return checkBox;
}

} // namespace

CFolderBrowser::CFolderBrowser(bool showCheckBox, bool checked)
    : showCheckBox_(showCheckBox), checked_(checked) {}

bool CFolderBrowser::Browse(QString& folder, const QString& title) {
    QFileDialog dialog(owner_ ? owner_ : DefaultOwner(), title);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setFileMode(QFileDialog::Directory);
    if (!folder.isEmpty() && QFileInfo(folder).isDir()) {
        dialog.setDirectory(folder);
    }
    ShowFileColumnsWhole(dialog);
    QCheckBox* checkBox = showCheckBox_ ? AddCheckBoxToButtonRow(dialog) : nullptr;
    if (checkBox) {
        checkBox->setChecked(checked_);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return false;
    }
    const QFileInfo chosen(dialog.selectedFiles().constFirst());
    if (!chosen.isDir()) {
        return false;
    }
    if (checkBox) {
        checked_ = checkBox->isChecked();
    }
    folder = QDir::cleanPath(chosen.absoluteFilePath());
    return true;
}

} // namespace pirela
