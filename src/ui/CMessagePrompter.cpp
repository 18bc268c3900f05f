#include "ui/CMessagePrompter.h"

#include "ui/CFolderBrowser.h"
#include "ui/CSendRenameDlg.h"
#include "ui/QtText.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFile>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMessageBox>
#include <QWindow>

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
    case MessageButtons::YesNoCancelDefaultCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

// Only a button (clicked, or pressed through its key) answers. A box whose loop ended without
// one (the program quitting, the owner going) answers キャンセル: the question's Ok is consent to
// send, and nobody gave it.
MessageAnswer AnswerFor(const QMessageBox& box) {
    QAbstractButton* clicked = box.clickedButton();
    switch (clicked == nullptr ? QMessageBox::NoButton : box.standardButton(clicked)) {
    case QMessageBox::Ok:
        return MessageAnswer::Ok;
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    default:
        return MessageAnswer::Cancel;
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

// Keeps a key that reached the program before the question was on the screen (Space or Return
// pressed to page on through the photos, say) from answering it, and a key held down from
// answering it with its repeats: only a key pressed for this question answers it. Keys for the
// box arrive in the order the window system sent them, so those before its exposure came
// before it was there to be seen.
class EarlyKeyGuard : public QObject {
public:
    explicit EarlyKeyGuard(QWidget& box) : box_(box) { qApp->installEventFilter(this); }
    ~EarlyKeyGuard() override { qApp->removeEventFilter(this); }
    EarlyKeyGuard(const EarlyKeyGuard&) = delete;
    EarlyKeyGuard& operator=(const EarlyKeyGuard&) = delete;

    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
            break;
        default:
            return false;
        }
        if (!IsForTheBox(watched)) {
            return false;
        }
        if (box_.windowHandle() == nullptr || !box_.windowHandle()->isExposed()) {
            return true;
        }
        return event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->isAutoRepeat();
    }

private:
    bool IsForTheBox(QObject* watched) const {
        if (watched == box_.windowHandle()) {
            return true;
        }
        auto* widget = qobject_cast<QWidget*>(watched);
        return widget != nullptr && (widget == &box_ || box_.isAncestorOf(widget));
    }

    QWidget& box_;
};

} // namespace

MessageAnswer CMessagePrompter::ShowCaptionedMessage(const std::string& caption,
                                                    const std::string& text, MessageIcon icon,
                                                    MessageButtons buttons) {
    QMessageBox box(IconFor(icon), ToQString(caption), ToQString(text), ButtonsFor(buttons),
                    owner_);
    if (buttons == MessageButtons::YesNoCancelDefaultCancel) {
        box.setDefaultButton(QMessageBox::Cancel);
    }
    const EarlyKeyGuard guard(box);
    const ImmediateMnemonics mnemonics(box);
    box.exec();
    return AnswerFor(box);
}

RepeatedAnswer CMessagePrompter::AskForEach(const std::string& text, MessageIcon icon,
                                            MessageButtons buttons) {
    QMessageBox box(IconFor(icon), ToQString(res::kProgramName), ToQString(text),
                    ButtonsFor(buttons), owner_);
    if (buttons == MessageButtons::YesNoCancelDefaultCancel) {
        box.setDefaultButton(QMessageBox::Cancel);
    }
    auto* forAll = new QCheckBox(ToQString(res::kApplyToAll), &box);
    box.setCheckBox(forAll);
    const EarlyKeyGuard guard(box);
    const ImmediateMnemonics mnemonics(box);
    box.exec();
    return {AnswerFor(box), forAll->isChecked()};
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
                                                       const std::string& extension,
                                                       const std::string& offeredName) {
    CSendRenameDlg dialog(folder, currentName, extension, offeredName, owner_);
    return dialog.Ask();
}

} // namespace pirela
