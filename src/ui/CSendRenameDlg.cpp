#include "ui/CSendRenameDlg.h"

#include "res/DialogTemplates.h"
#include "res/ResourceIds.h"
#include "ui/DialogBuilder.h"
#include "ui/QtText.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>

namespace pirela {

CSendRenameDlg::CSendRenameDlg(const std::string& folder, std::string currentName,
                               const std::string& extension, const std::string& offeredName,
                               QWidget* parent)
    : QDialog(parent), currentName_(std::move(currentName)), shownName_(ToQString(currentName_)) {
    BuildDialog(*this, res::SendRenameTemplate());
    // A long path keeps its start and its last folders, the whole of it in the tool tip.
    auto* destination = qobject_cast<QLabel*>(FindControl(*this, res::kRenameDestination));
    const QString path = QFile::decodeName(QByteArray::fromStdString(folder));
    destination->setText(
        destination->fontMetrics().elidedText(path, Qt::ElideMiddle, destination->width()));
    destination->setToolTip(path);
    const QString dotted = QStringLiteral(".") + ToQString(extension);
    SetText(res::kRenameCurrentName, shownName_);
    SetText(res::kRenameCurrentExtension, dotted);
    SetText(res::kRenameNewExtension, dotted);
    newName_ = qobject_cast<QLineEdit*>(FindControl(*this, res::kRenameNewName));
    newName_->setText(offeredName.empty() ? shownName_ : ToQString(offeredName));
    // Typing replaces the offered name at once; the arrow keys keep it for editing.
    newName_->selectAll();
    newName_->setFocus();
}

void CSendRenameDlg::SetText(int id, const QString& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(FindControl(*this, id))) {
        edit->setText(text);
    }
}

std::optional<std::string> CSendRenameDlg::Ask() {
    if (exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    const QString typed = newName_->text();
    return typed == shownName_ ? currentName_ : ToUtf8(typed);
}

} // namespace pirela
