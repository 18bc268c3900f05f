#include "ui/CBusyWindow.h"

#include "res/DialogTemplates.h"
#include "res/ResourceIds.h"
#include "ui/DialogBuilder.h"

#include <QLabel>

namespace pirela {

CBusyWindow::CBusyWindow(QWidget* mainWindow)
    // It only tells: the keyboard and the mouse stay with the main window, where the photo
    // shows and the viewing keys act while a folder is listed.
    : QDialog(mainWindow, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus |
                              Qt::WindowTransparentForInput) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    BuildDialog(*this, res::BusyWindowTemplate());
    setStyleSheet(QStringLiteral("CBusyWindow { border: 1px solid palette(dark); }"));
    if (mainWindow) {
        // Centred on the main window's outer rectangle (integer halves), its size unchanged.
        const QRect outer = mainWindow->frameGeometry();
        move(outer.left() + outer.width() / 2 - width() / 2,
             outer.top() + outer.height() / 2 - height() / 2);
    }
}

void CBusyWindow::SetText(const QString& text) {
    if (auto* label = qobject_cast<QLabel*>(FindControl(*this, res::kBusyText))) {
        label->setText(text);
        label->repaint();
    }
}

QString CBusyWindow::Text() const {
    const auto* label = qobject_cast<QLabel*>(FindControl(*this, res::kBusyText));
    return label ? label->text() : QString();
}

} // namespace pirela
