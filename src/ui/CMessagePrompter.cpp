#include "ui/CMessagePrompter.h"

#include "ui/CFolderBrowser.h"
#include "ui/CSendRenameDlg.h"
#include "ui/QtText.h"

#include <QFile>
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
    CSendRenameDlg dialog(currentName, extension, owner_);
    return dialog.Ask();
}

} // namespace pirela
