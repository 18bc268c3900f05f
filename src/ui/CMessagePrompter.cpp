#include "ui/CMessagePrompter.h"

#include "ui/CFolderBrowser.h"
#include "ui/CSendRenameDlg.h"
#include "ui/QtText.h"

#include <QAbstractButton>
#include <QEvent>
#include <QFile>
#include <QKeyEvent>
#include <QKeySequence>
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

// Makes a button's letter ("いいえ(&N)": N, with or without Alt) click it the moment the key
// goes down. Qt animates such a click for a tenth of a second before it acts, which a user
// answering a question with one key feels as lag.
class ImmediateMnemonics : public QObject {
public:
    explicit ImmediateMnemonics(QMessageBox& box) : box_(box) {
        box_.installEventFilter(this);
        for (QAbstractButton* button : box_.buttons()) {
            button->installEventFilter(this);
        }
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Shortcut) {
            if (auto* button = qobject_cast<QAbstractButton*>(watched); button && button->isEnabled()) {
                button->click();
                return true;
            }
        }
        if (watched == &box_ && event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            // With Alt it comes here when no shortcut took it (a window not yet active).
            if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::AltModifier) {
                return ClickButtonOf(key->key());
            }
        }
        return false;
    }

private:
    bool ClickButtonOf(int key) {
        for (QAbstractButton* button : box_.buttons()) {
            const QKeySequence mnemonic = QKeySequence::mnemonic(button->text());
            if (button->isEnabled() && !mnemonic.isEmpty() && mnemonic[0].key() == key) {
                button->click();
                return true;
            }
        }
        return false;
    }

    QMessageBox& box_;
};

} // namespace

MessageAnswer CMessagePrompter::ShowCaptionedMessage(const std::string& caption,
                                                    const std::string& text, MessageIcon icon,
                                                    MessageButtons buttons) {
    QMessageBox box(IconFor(icon), ToQString(caption), ToQString(text), ButtonsFor(buttons),
                    owner_);
    const ImmediateMnemonics mnemonics(box);
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

std::optional<std::string> CMessagePrompter::AskNewName(const std::string& folder,
                                                       const std::string& currentName,
                                                       const std::string& extension) {
    CSendRenameDlg dialog(folder, currentName, extension, owner_);
    return dialog.Ask();
}

} // namespace pirela
