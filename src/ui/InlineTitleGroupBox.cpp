#include "ui/InlineTitleGroupBox.h"

#include "ui/QtText.h"

#include <QPainter>
#include <QStyle>
#include <qdrawutil.h>

namespace pirela {

namespace {

constexpr int kTitleIndent = 6;  // pixels from the left edge to the gap for the title
constexpr int kTitlePadding = 3; // pixels of gap on either side of the title

} // namespace

QRect InlineTitleGroupBox::TitleRect() const {
    const QFontMetrics metrics = fontMetrics();
    const int textWidth = metrics.horizontalAdvance(WithoutMnemonic(title()));
    return QRect(kTitleIndent, 0, textWidth + 2 * kTitlePadding, metrics.height());
}

int InlineTitleGroupBox::TitleExtent() const {
    return TitleRect().right() + 1 + kTitleIndent;
}

void InlineTitleGroupBox::paintEvent(QPaintEvent*) {
    // An etched line drawn here: the styles' group box frame leaves room above it for a title
    // of its own.
    QPainter painter(this);
    const QRect titleRect = title().isEmpty() ? QRect() : TitleRect();
    painter.save();
    painter.setClipRegion(QRegion(rect()).subtracted(titleRect));
    qDrawShadeRect(&painter, rect().adjusted(0, fontMetrics().height() / 2, 0, 0), palette(), true,
                   1, 0);
    painter.restore();
    if (!titleRect.isNull()) {
        style()->drawItemText(&painter, titleRect, Qt::AlignCenter | Qt::TextShowMnemonic,
                              palette(), isEnabled(), title(), QPalette::WindowText);
    }
}

} // namespace pirela
