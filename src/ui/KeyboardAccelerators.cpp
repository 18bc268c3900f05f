#include "ui/KeyboardAccelerators.h"

#include "res/CommandKinds.h"

#include <QApplication>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include <cstdint>

namespace pirela {

namespace {

constexpr Qt::KeyboardModifiers kSignificantModifiers =
    Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier |
    Qt::KeypadModifier;

// A floating toolbar or dock is a window of its own, but it belongs to the window it floats from.
QWidget* OwningWindow(QWidget* window) {
    const bool floatingBar = qobject_cast<QToolBar*>(window) != nullptr ||
                             qobject_cast<QDockWidget*>(window) != nullptr;
    if (floatingBar && window->parentWidget() != nullptr) {
        return window->parentWidget()->window();
    }
    return window;
}

// The printable ASCII keys that are neither letters nor digits.
bool IsPunctuation(int key) {
    return (key > Qt::Key_Space && key < Qt::Key_0) || (key > Qt::Key_9 && key < Qt::Key_A) ||
           (key > Qt::Key_Z && key <= Qt::Key_AsciiTilde);
}

} // namespace

KeyboardAccelerators::KeyboardAccelerators(const std::vector<res::Accelerator>& table, Runner run,
                                           QObject* parent)
    : QObject(parent), run_(std::move(run)) {
    for (const res::Accelerator& accelerator : table) {
        const QKeySequence sequence(QString::fromLatin1(accelerator.keys));
        commands_[sequence[0].toCombined()] = accelerator.command;
    }
    qApp->installEventFilter(this);
}

void KeyboardAccelerators::AddWindow(QWidget* window, std::set<int> ownKeys) {
    windows_[window] = std::move(ownKeys);
    connect(window, &QObject::destroyed, this, [this, window] { windows_.erase(window); });
}

void KeyboardAccelerators::SetOwnKeys(QWidget* window, std::set<int> ownKeys) {
    if (const auto found = windows_.find(window); found != windows_.end()) {
        found->second = std::move(ownKeys);
    }
}

std::optional<int> KeyboardAccelerators::CommandFor(QKeyCombination key) const {
    const Qt::KeyboardModifiers modifiers = key.keyboardModifiers() & kSignificantModifiers;
    auto found = commands_.find(QKeyCombination(modifiers, key.key()).toCombined());
    if (found == commands_.end() && modifiers.testFlag(Qt::KeypadModifier)) {
        // The keypad's Enter, arrows, + and - are the same keys as the main block's.
        found = commands_.find(
            QKeyCombination(modifiers & ~Qt::KeypadModifier, key.key()).toCombined());
    }
    if (found == commands_.end() && modifiers.testFlag(Qt::ShiftModifier) &&
        IsPunctuation(key.key())) {
        found = commands_.find(
            QKeyCombination(modifiers & ~Qt::ShiftModifier, key.key()).toCombined());
    }
    if (found == commands_.end()) {
        return std::nullopt;
    }
    return found->second;
}

void KeyboardAccelerators::SetStandsAside(int command, std::function<bool()> standsAside) {
    standsAside_[command] = std::move(standsAside);
}

bool KeyboardAccelerators::MayAct(const QKeyEvent& key) const {
    if (QApplication::activeModalWidget() != nullptr || QApplication::activePopupWidget() != nullptr ||
        QWidget::keyboardGrabber() != nullptr ||
        qobject_cast<QMenuBar*>(QApplication::focusWidget()) != nullptr) {
        return false;
    }
    QWidget* active = QApplication::activeWindow();
    if (active == nullptr) {
        return false;
    }
    auto window = windows_.find(active);
    if (window == windows_.end()) {
        window = windows_.find(OwningWindow(active));
    }
    return window != windows_.end() && window->second.count(key.key()) == 0;
}

bool KeyboardAccelerators::ArrivedWhileBusy(const QKeyEvent& key) const {
    if (!key.isAutoRepeat() || lastDurationMs_ < 0) {
        return false;
    }
    // Timestamps are the window system's milliseconds; unsigned arithmetic survives the wrap.
    const auto sinceLast = static_cast<std::uint32_t>(key.timestamp() - lastTimestamp_);
    return sinceLast < lastDurationMs_;
}

bool KeyboardAccelerators::CloseMenuAndMenuBar(QObject* watched, QEvent* event) {
    auto* menu = qobject_cast<QMenu*>(watched);
    if (menu == nullptr || closingMenu_ ||
        static_cast<const QKeyEvent*>(event)->key() != Qt::Key_Escape) {
        return false;
    }
    // The menu handles its Escape now, so that nothing typed after it finds the bar still in
    // keyboard mode; our filter sees that delivery too and lets it pass.
    closingMenu_ = true;
    QCoreApplication::sendEvent(menu, event);
    closingMenu_ = false;
    auto* bar = qobject_cast<QMenuBar*>(QApplication::focusWidget());
    if (bar != nullptr && QApplication::activePopupWidget() == nullptr) {
        QKeyEvent leave(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(bar, &leave);
    }
    return true;
}

bool KeyboardAccelerators::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return QObject::eventFilter(watched, event);
    }
    if (CloseMenuAndMenuBar(watched, event)) {
        return true;
    }
    const auto& key = static_cast<const QKeyEvent&>(*event);
    const std::optional<int> command = CommandFor(key.keyCombination());
    if (!command || !MayAct(key)) {
        return false;
    }
    if (const auto aside = standsAside_.find(*command);
        aside != standsAside_.end() && aside->second()) {
        return false;
    }
    if (ArrivedWhileBusy(key) || (key.isAutoRepeat() && !res::RepeatsWhenHeld(*command))) {
        return true;
    }
    QElapsedTimer handling;
    handling.start();
    run_(*command);
    lastTimestamp_ = key.timestamp();
    lastDurationMs_ = handling.elapsed();
    return true;
}

} // namespace pirela
