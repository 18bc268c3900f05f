#include "ui/CMessagePrompter.h"

#include "res/Messages.h"
#include "ui/QtText.h"

#include <QMessageBox>

namespace pirela {

namespace {

QMessageBox::Icon IconFor(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Information:
        break;
    }
    return QMessageBox::Information;
}

QMessageBox::StandardButtons ButtonsFor(MessageButtons buttons) {
    switch (buttons) {
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

MessageAnswer CMessagePrompter::ShowMessage(const std::string& text, MessageIcon icon,
                                            MessageButtons buttons) {
    QMessageBox box(IconFor(icon), QString::fromUtf8(res::kProgramName), ToQString(text),
                    ButtonsFor(buttons), owner_);
    return AnswerFor(box.exec());
}

} // namespace pirela
