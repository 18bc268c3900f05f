#include "ui/OpenFileDialog.h"

#include "ui/FileDialogColumns.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace pirela {

QStringList ImageFileFilters() {
    // The descriptions are the program's own texts; the patterns follow in a form Qt reads.
    return {
        QStringLiteral("展開可能なすべてのイメージ (*.bmp;*.dib;*.jpg;*.jpe;*.png) "
                       "(*.bmp *.dib *.jpg *.jpe *.png)"),
        QStringLiteral("ビットマップ イメージ (*.bmp;*.dib) (*.bmp *.dib)"),
        QStringLiteral("JPEG イメージ (*.jpg;*.jpe) (*.jpg *.jpe)"),
        QStringLiteral("PNG イメージ (*.png) (*.png)"),
        QStringLiteral("すべてのファイル (*.*) (*)"),
    };
}

std::optional<QString> AskForImageFile(QWidget* owner, const QString& startFolder) {
    // A remembered folder that has gone (or the documents folder never made) starts at home.
    const QString folder = QFileInfo(startFolder).isDir() ? startFolder : QDir::homePath();
    QFileDialog dialog(owner, QStringLiteral("ファイルを開く"), folder);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(ImageFileFilters());
    ShowFileColumnsWhole(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

} // namespace pirela
