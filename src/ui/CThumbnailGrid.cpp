#include "ui/CThumbnailGrid.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

namespace pirela {

namespace {

// Room around a thumbnail inside its cell, and between the picture and its name.
constexpr int kPadding = 8;
constexpr int kNameGap = 4;

// The proportions of a placeholder: most photos are 3:2 across.
constexpr int kPlaceholderWidth = 3;
constexpr int kPlaceholderHeight = 2;

GridKey KeyOf(int key, bool* known) {
    *known = true;
    switch (key) {
    case Qt::Key_Left:
        return GridKey::Left;
    case Qt::Key_Right:
        return GridKey::Right;
    case Qt::Key_Up:
        return GridKey::Up;
    case Qt::Key_Down:
        return GridKey::Down;
    case Qt::Key_Home:
        return GridKey::Home;
    case Qt::Key_End:
        return GridKey::End;
    case Qt::Key_PageUp:
        return GridKey::PageUp;
    case Qt::Key_PageDown:
        return GridKey::PageDown;
    default:
        *known = false;
        return GridKey::Home;
    }
}

QImage ImageOf(const ScaledPicture& picture) {
    // Painted straight from the provider's pixels, which the caller keeps alive meanwhile.
    return QImage(reinterpret_cast<const uchar*>(picture.pixels.data()), picture.width,
                  picture.height, picture.width * 4,
                  picture.hasAlpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
}

} // namespace

CThumbnailGrid::CThumbnailGrid(ThumbnailCache cache, int box, std::size_t memoryBytes,
                               QWidget* parent)
    : QAbstractScrollArea(parent), box_(box) {
    provider_ = std::make_unique<ThumbnailProvider>(std::move(cache), box, memoryBytes,
                                                    [this](int) { PostRepaint(); });
    provider_->SetWorking(false);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    verticalScrollBar()->setSingleStep(24);
}

CThumbnailGrid::~CThumbnailGrid() {
    provider_.reset(); // nobody is told any more before the widget goes
}

void CThumbnailGrid::PostRepaint() {
    // From a worker: one repaint queued at a time, however many thumbnails come meanwhile.
    if (repaintPosted_.exchange(true)) {
        return;
    }
    QMetaObject::invokeMethod(
        this,
        [this] {
            repaintPosted_ = false;
            viewport()->update();
        },
        Qt::QueuedConnection);
}

void CThumbnailGrid::SetList(std::vector<std::string> paths, TextOf nameOf, int current) {
    nameOf_ = std::move(nameOf);
    const int count = static_cast<int>(paths.size());
    provider_->SetFiles(std::move(paths));
    selection_.Reset(count, current);
    Relayout();
    ScrollToCurrent();
    viewport()->update();
}

void CThumbnailGrid::SetCurrent(int index) {
    if (index != selection_.Current()) {
        selection_.MoveTo(index);
        ScrollToCurrent();
        viewport()->update();
    }
}

void CThumbnailGrid::RemoveEntry(int index) {
    if (index < 0 || index >= selection_.Count()) {
        return;
    }
    provider_->RemoveFile(index);
    selection_.Remove(index);
    Relayout();
    viewport()->update();
}

void CThumbnailGrid::SetActive(bool active) {
    if (active) {
        provider_->Revalidate();
        TellProviderWhatIsInSight();
    }
    provider_->SetWorking(active);
}

void CThumbnailGrid::Relayout() {
    const int lineHeight = fontMetrics().height();
    layout_ = GridLayout(selection_.Count(), viewport()->width(), box_ + 2 * kPadding,
                         box_ + 2 * kPadding + kNameGap + lineHeight);
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, std::max(0, layout_.ContentHeight() - viewport()->height()));
    bar->setPageStep(viewport()->height());
    TellProviderWhatIsInSight();
}

void CThumbnailGrid::TellProviderWhatIsInSight() {
    const GridLayout::Range range =
        layout_.InSight(verticalScrollBar()->value(), viewport()->height());
    provider_->SetVisible(range.first, range.count);
}

void CThumbnailGrid::ScrollToCurrent() {
    if (layout_.Count() > 0) {
        verticalScrollBar()->setValue(layout_.ScrollToShow(
            selection_.Current(), verticalScrollBar()->value(), viewport()->height()));
    }
}

void CThumbnailGrid::MoveCurrent(int index, bool extend) {
    if (extend) {
        selection_.ExtendTo(index);
    } else {
        selection_.MoveTo(index);
    }
    ScrollToCurrent();
    viewport()->update();
    emit CurrentChanged(selection_.Current());
}

void CThumbnailGrid::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    Relayout();
    ScrollToCurrent();
}

void CThumbnailGrid::scrollContentsBy(int, int) {
    TellProviderWhatIsInSight();
    viewport()->update();
}

int CThumbnailGrid::Margin() const {
    // The rows are centred: what the columns leave over is shared on both sides.
    return std::max(0, (viewport()->width() - layout_.Columns() * layout_.CellWidth()) / 2);
}

QRect CThumbnailGrid::CellRect(int index) const {
    return QRect(Margin() + layout_.LeftOf(index),
                 layout_.TopOf(index) - verticalScrollBar()->value(), layout_.CellWidth(),
                 layout_.CellHeight());
}

void CThumbnailGrid::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const GridLayout::Range range =
        layout_.InSight(verticalScrollBar()->value(), viewport()->height());
    for (int index = range.first; index < range.first + range.count; ++index) {
        PaintCell(painter, index);
    }
}

void CThumbnailGrid::PaintCell(QPainter& painter, int index) {
    const QRect cell = CellRect(index);
    const QPalette& colours = palette();
    if (selection_.IsSelected(index)) {
        painter.fillRect(cell.adjusted(2, 2, -2, -2), colours.color(QPalette::Highlight));
    }
    const QRect box(cell.left() + kPadding, cell.top() + kPadding, box_, box_);
    const ThumbnailProvider::Cell thumbnail = provider_->CellAt(index);
    if (thumbnail.state == ThumbnailProvider::CellState::Ready) {
        const ScaledPicture& picture = *thumbnail.picture;
        const QPoint at(box.left() + (box_ - picture.width) / 2,
                        box.top() + (box_ - picture.height) / 2);
        painter.drawImage(at, ImageOf(picture));
    } else {
        const int height = box_ * kPlaceholderHeight / kPlaceholderWidth;
        const QRect placeholder(box.left(), box.top() + (box_ - height) / 2, box_, height);
        painter.fillRect(placeholder, colours.color(QPalette::Midlight));
        if (thumbnail.state == ThumbnailProvider::CellState::Failed) {
            painter.setPen(colours.color(QPalette::Dark));
            painter.drawLine(placeholder.topLeft(), placeholder.bottomRight());
            painter.drawLine(placeholder.topRight(), placeholder.bottomLeft());
        }
    }
    const QRect name(cell.left() + kPadding, box.bottom() + 1 + kNameGap, box_,
                     fontMetrics().height());
    PaintMarks(painter, box, index);
    painter.setPen(
        colours.color(selection_.IsSelected(index) ? QPalette::HighlightedText : QPalette::Text));
    const QString text = nameOf_ ? nameOf_(index) : QString();
    painter.drawText(name, Qt::AlignHCenter | Qt::AlignTop,
                     fontMetrics().elidedText(text, Qt::ElideMiddle, box_));
    if (index == selection_.Current() && hasFocus()) {
        painter.setPen(QPen(colours.color(QPalette::Text), 1, Qt::DotLine));
        painter.drawRect(cell.adjusted(2, 2, -3, -3));
    }
}

void CThumbnailGrid::PaintMarks(QPainter& painter, const QRect& box, int index) {
    const QString marks = marksOf_ ? marksOf_(index) : QString();
    if (marks.isEmpty()) {
        return;
    }
    // A tag on the thumbnail's lower edge, legible over any picture.
    const QString text = fontMetrics().elidedText(marks, Qt::ElideRight, box_ - 2 * kNameGap);
    const int height = fontMetrics().height();
    const QRect tag(box.left(), box.bottom() + 1 - height - kNameGap,
                    fontMetrics().horizontalAdvance(text) + 2 * kNameGap, height + kNameGap);
    painter.fillRect(tag, QColor(0, 0, 0, 160));
    painter.setPen(Qt::white);
    painter.drawText(tag, Qt::AlignCenter, text);
}

void CThumbnailGrid::keyPressEvent(QKeyEvent* event) {
    const bool extend = event->modifiers().testFlag(Qt::ShiftModifier);
    bool known = false;
    const GridKey key = KeyOf(event->key(), &known);
    if (known && layout_.Count() > 0) {
        MoveCurrent(layout_.Move(selection_.Current(), key, viewport()->height()), extend);
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && layout_.Count() > 0) {
        emit Activated(selection_.Current());
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        selection_.SelectAll();
        viewport()->update();
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void CThumbnailGrid::mousePressEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    const int index =
        layout_.IndexAt(point.x() - Margin(), point.y() + verticalScrollBar()->value());
    if (index < 0 || event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    if (event->modifiers().testFlag(Qt::ControlModifier)) {
        selection_.Toggle(index);
        viewport()->update();
        emit CurrentChanged(index);
        return;
    }
    MoveCurrent(index, event->modifiers().testFlag(Qt::ShiftModifier));
}

void CThumbnailGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton &&
        CellRect(selection_.Current()).contains(event->position().toPoint())) {
        emit Activated(selection_.Current());
        return;
    }
    QAbstractScrollArea::mouseDoubleClickEvent(event);
}

} // namespace pirela
