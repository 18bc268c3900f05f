#include "ui/CFilePropertiesDlg.h"

#include "res/DialogTemplates.h"
#include "res/ResourceIds.h"
#include "ui/DialogBuilder.h"
#include "ui/QtText.h"
#include "res/Messages.h"
#include "view/CameraFacts.h"
#include "view/FileProperties.h"

#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMimeDatabase>
#include <QPushButton>

#include <utility>

namespace pirela {

namespace {

void SetField(const QDialog& dialog, int id, const std::string& text) {
    if (auto* field = qobject_cast<QLineEdit*>(FindControl(dialog, id))) {
        field->setText(ToQString(text));
        field->setCursorPosition(0);
    }
}

// A long folder keeps its beginning and its last folders, with "…" in the middle; the whole of
// it is the field's tool tip.
void SetLocation(const QDialog& dialog, const std::string& location) {
    auto* field = qobject_cast<QLineEdit*>(FindControl(dialog, res::kPropertiesFolder));
    if (field == nullptr) {
        return;
    }
    const QString whole = ToQString(location);
    const int room = field->contentsRect().width() - 2 * field->fontMetrics().averageCharWidth();
    field->setText(field->fontMetrics().elidedText(whole, Qt::ElideMiddle, room));
    field->setToolTip(whole);
    field->setCursorPosition(0);
}

void SetCameraFacts(const QDialog& dialog, const CameraFacts& facts) {
    const std::pair<int, const std::string*> fields[] = {
        {res::kPropertiesTaken, &facts.taken},      {res::kPropertiesCamera, &facts.camera},
        {res::kPropertiesLens, &facts.lens},        {res::kPropertiesExposure, &facts.exposure},
        {res::kPropertiesFNumber, &facts.fNumber},  {res::kPropertiesIso, &facts.iso},
        {res::kPropertiesFocalLength, &facts.focalLength},
        {res::kPropertiesOrientation, &facts.orientation},
    };
    for (const auto& [id, text] : fields) {
        SetField(dialog, id, text->empty() ? res::kPropertiesUnknown : *text);
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
    SetLocation(*this, texts.location);
    SetField(*this, res::kPropertiesSize, texts.size);
    SetField(*this, res::kPropertiesModified, texts.modified);
    SetField(*this, res::kPropertiesPixels, texts.pixels);
    SetField(*this, res::kPropertiesColours, texts.colours);
    SetCameraFacts(*this, ReadCameraFacts(path));
    SetField(*this, res::kPropertiesColourProfile, texts.profile);

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
