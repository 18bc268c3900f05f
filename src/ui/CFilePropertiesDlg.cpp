#include "ui/CFilePropertiesDlg.h"

#include "res/DialogTemplates.h"
#include "res/ResourceIds.h"
#include "ui/DialogBuilder.h"
#include "ui/QtText.h"
#include "view/FileProperties.h"

#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMimeDatabase>
#include <QPushButton>

namespace pirela {

namespace {

void SetField(const QDialog& dialog, int id, const std::string& text) {
    if (auto* field = qobject_cast<QLineEdit*>(FindControl(dialog, id))) {
        field->setText(ToQString(text));
        field->setCursorPosition(0); // a long folder shows its beginning
    }
}

} // namespace

CFilePropertiesDlg::CFilePropertiesDlg(const std::string& path, const ImageInfo& info,
                                       QWidget* parent)
    : QDialog(parent) {
    BuildDialog(*this, res::PropertiesTemplate());
    const FilePropertyTexts texts = ComputeFilePropertyTexts(path, info);
    setWindowTitle(ToQString(texts.caption));
    SetField(*this, res::kPropertiesName, texts.name);
    SetField(*this, res::kPropertiesFolder, texts.location);
    SetField(*this, res::kPropertiesSize, texts.size);
    SetField(*this, res::kPropertiesModified, texts.modified);
    SetField(*this, res::kPropertiesPixels, texts.pixels);
    SetField(*this, res::kPropertiesColours, texts.colours);

    const QFileInfo file(QFile::decodeName(QByteArray::fromStdString(path)));
    const QString description = QMimeDatabase().mimeTypeForFile(file).comment();
    SetField(*this, res::kPropertiesType, FileTypeName(ToUtf8(description), info.formatCode));
    auto* icon = qobject_cast<QLabel*>(FindControl(*this, res::kPropertiesIcon));
    const QIcon fileIcon = QFileIconProvider().icon(file);
    if (icon != nullptr && !fileIcon.isNull()) {
        icon->setPixmap(fileIcon.pixmap(icon->size()));
    }
    if (auto* ok = qobject_cast<QPushButton*>(FindControl(*this, res::kIdOk))) {
        ok->setFocus();
    }
}

} // namespace pirela
