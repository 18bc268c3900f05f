#include "ui/CMessagePrompter.h"

#include "res/DialogTemplates.h"
#include "res/ResourceIds.h"
#include "ui/CFolderBrowser.h"
#include "ui/DialogBuilder.h"
#include "ui/QtText.h"

#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>

namespace pirela {

namespace {

QMessageBox::Icon IconFor(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Information:
        break;
    }
    return QMessageBox::Information;
}

QMessageBox::StandardButtons ButtonsFor(MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

MessageAnswer AnswerFor(int button) {
    switch (button) {
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    case QMessageBox::Cancel:
        return MessageAnswer::Cancel;
    default:
        return MessageAnswer::Ok;
    }
}

void SetControlText(const QDialog& dialog, int id, const QString& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(FindControl(dialog, id))) {
        edit->setText(text);
    }
}

} // namespace

MessageAnswer CMessagePrompter::ShowCaptionedMessage(const std::string& caption,
                                                    const std::string& text, MessageIcon icon,
                                                    MessageButtons buttons) {
    QMessageBox box(IconFor(icon), ToQString(caption), ToQString(text), ButtonsFor(buttons),
                    owner_);
    return AnswerFor(box.exec());
}

std::optional<std::string> CMessagePrompter::AskFolder(const std::string& startFolder,
                                                      const std::string& title) {
    CFolderBrowser browser(false, false);
    browser.SetOwner(owner_);
    QString folder = QFile::decodeName(QByteArray::fromStdString(startFolder));
    if (!browser.Browse(folder, ToQString(title))) {
        return std::nullopt;
    }
    return QFile::encodeName(folder).toStdString();
}

std::optional<std::string> CMessagePrompter::AskNewName(const std::string& currentName,
                                                       const std::string& extension) {
    QDialog dialog(owner_);
    BuildDialog(dialog, res::SendRenameTemplate());
    const QString dotted = QStringLiteral(".") + ToQString(extension);
    SetControlText(dialog, res::kRenameCurrentName, ToQString(currentName));
    SetControlText(dialog, res::kRenameNewName, ToQString(currentName));
    SetControlText(dialog, res::kRenameCurrentExtension, dotted);
    SetControlText(dialog, res::kRenameNewExtension, dotted);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return ToUtf8(qobject_cast<QLineEdit*>(FindControl(dialog, res::kRenameNewName))->text());
}

} // namespace pirela
