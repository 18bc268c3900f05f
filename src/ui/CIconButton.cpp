#include "ui/CIconButton.h"

#include <QApplication>
#include <QEnterEvent>
#include <QPainter>
#include <QStyle>

namespace pirela {

namespace {

constexpr int kIconLeft = 3;      // from the left edge, and again between icon and caption
constexpr int kCaptionRight = 2;  // kept free at the right edge
constexpr int kLargestIcon = 32;

struct Mnemonic {
    QString visible; // the caption as the user reads it
    int marked = -1; // the index of the underlined character, or -1
};

// "&3 R&&D" reads "3 R&D" with the 3 underlined.
Mnemonic SplitMnemonic(const QString& caption) {
    Mnemonic result;
    for (int i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size()) {
            ++i;
            if (caption[i] != u'&' && result.marked < 0) {
                result.marked = static_cast<int>(result.visible.size());
            }
        }
        result.visible += caption[i];
    }
    return result;
}

QString JoinMnemonic(const QString& visible, int marked) {
    QString caption;
    for (int i = 0; i < visible.size(); ++i) {
        if (i == marked) {
            caption += u'&';
        } else if (visible[i] == u'&') {
            caption += u'&'; // a literal "&" stays literal
        }
        caption += visible[i];
    }
    return caption;
}

} // namespace

CIconButton::CIconButton(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
}

void CIconButton::SetShowCaption(bool show) {
    showCaption_ = show;
    update();
}

bool CIconButton::IsHot() const {
    // A disabled button never lights up: it would promise a click that does nothing.
    return pointerOver_ && isEnabled() && QApplication::activeWindow() != nullptr;
}

QSize CIconButton::sizeHint() const {
    const QSize icon = iconSize().boundedTo(QSize(kLargestIcon, kLargestIcon));
    const int captionWidth =
        showCaption_ ? fontMetrics().horizontalAdvance(SplitMnemonic(text()).visible) + kIconLeft : 0;
    return QSize(kIconLeft + icon.width() + captionWidth + kCaptionRight,
                 std::max(icon.height(), fontMetrics().height()) + 4);
}

QRect CIconButton::IconRect() const {
    const int side = std::min({kLargestIcon, height() - 4, width() - 2 * kIconLeft});
    const int left = showCaption_ && !text().isEmpty() ? kIconLeft : (width() - side) / 2;
    return QRect(left, (height() - side) / 2, side, side);
}

QRect CIconButton::CaptionRect() const {
    QRect area = rect();
    if (!icon().isNull()) {
        area.setLeft(IconRect().right() + 1 + kIconLeft);
    }
    area.setRight(area.right() - kCaptionRight);
    return area;
}

QString CIconButton::ElidedCaption() const {
    if (!showCaption_) {
        return QString();
    }
    const Mnemonic caption = SplitMnemonic(text());
    const QString elided =
        fontMetrics().elidedText(caption.visible, Qt::ElideRight, std::max(0, CaptionRect().width()));
    // The mark stays only on a character still shown before the "…".
    const bool cut = elided != caption.visible;
    const int lastWhole = static_cast<int>(elided.size()) - (cut ? 1 : 0);
    return JoinMnemonic(elided, caption.marked < lastWhole ? caption.marked : -1);
}

QString CIconButton::ShownCaption() const {
    return SplitMnemonic(ElidedCaption()).visible;
}

void CIconButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
    DrawEdge(painter);
    const QPoint pressedShift = isDown() ? QPoint(1, 1) : QPoint();
    if (!icon().isNull()) {
        const QRect place = IconRect().translated(pressedShift);
        icon().paint(&painter, place, Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);
    }
    const QString caption = ElidedCaption();
    if (!caption.isEmpty()) {
        style()->drawItemText(&painter, CaptionRect().translated(pressedShift),
                              Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic |
                                  Qt::TextSingleLine,
                              palette(), isEnabled(), caption, QPalette::ButtonText);
    }
}

void CIconButton::DrawEdge(QPainter& painter) const {
    if (!isDown() && !IsHot()) {
        return;
    }
    // Sunken while pressed: dark at the top and left; raised while hot: light there.
    const QColor light = palette().color(QPalette::Light);
    const QColor dark = palette().color(QPalette::Dark);
    const QColor topLeft = isDown() ? dark : light;
    const QColor bottomRight = isDown() ? light : dark;
    const QRect edge = rect().adjusted(0, 0, -1, -1);
    painter.setPen(topLeft);
    painter.drawLine(edge.topLeft(), edge.topRight());
    painter.drawLine(edge.topLeft(), edge.bottomLeft());
    painter.setPen(bottomRight);
    painter.drawLine(edge.bottomLeft(), edge.bottomRight());
    painter.drawLine(edge.topRight(), edge.bottomRight());
}

void CIconButton::enterEvent(QEnterEvent* event) {
    pointerOver_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void CIconButton::leaveEvent(QEvent* event) {
    pointerOver_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void CIconButton::changeEvent(QEvent* event) {
    // Another program taking over puts the light out at once, and coming back lights it again.
    if (event->type() == QEvent::ActivationChange) {
        update();
    }
    QAbstractButton::changeEvent(event);
}

} // namespace pirela
