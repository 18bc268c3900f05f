#include "ui/OpenFileDialog.h"

#include "image/ImageFormat.h"
#include "res/Messages.h"
#include "ui/FileDialogColumns.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace pirela {

namespace {

// "*.a;*.b" as the description shows the patterns, and "*.a *.b" as Qt reads them.
struct Patterns {
    QString shown;
    QString read;

    void Add(std::string_view extension) {
        const QString pattern =
            QStringLiteral("*.") +
            QString::fromLatin1(extension.data(), qsizetype(extension.size()));
        shown += (shown.isEmpty() ? QString() : QStringLiteral(";")) + pattern;
        read += (read.isEmpty() ? QString() : QStringLiteral(" ")) + pattern;
    }
    QString Filter(const char* description) const {
        return QString::fromUtf8(description) + QStringLiteral(" (") + shown +
               QStringLiteral(") (") + read + QStringLiteral(")");
    }
};

} // namespace

QStringList ImageFileFilters() {
    // The descriptions are the program's own texts; the patterns follow in a form Qt reads.
    struct Line {
        ImageFormat format;
        const char* description;
    };
    static constexpr Line kLines[]{
        {ImageFormat::Bitmap, "ビットマップ イメージ"},
        {ImageFormat::Jpeg, res::kTypeNameJpeg},
        {ImageFormat::Png, res::kTypeNamePng},
        {ImageFormat::Heif, res::kTypeNameHeif},
        {ImageFormat::Avif, res::kTypeNameAvif},
        {ImageFormat::WebP, res::kTypeNameWebp},
        {ImageFormat::Tiff, res::kTypeNameTiff},
        {ImageFormat::Gif, res::kTypeNameGif},
        {ImageFormat::Raw, res::kTypeNameRaw},
    };
    Patterns all;
    for (std::string_view extension : kOpenableExtensions) {
        all.Add(extension);
    }
    for (std::string_view extension : kCameraRollExtensions) {
        all.Add(extension);
    }
    QStringList filters{all.Filter("展開可能なすべてのイメージ")};
    for (const Line& line : kLines) {
        Patterns patterns;
        for (std::string_view extension : ExtensionsOf(line.format)) {
            patterns.Add(extension);
        }
        filters.push_back(patterns.Filter(line.description));
    }
    filters.push_back(QStringLiteral("すべてのファイル (*.*) (*)"));
    return filters;
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
