#include "ui/ControlTextFit.h"

#include "ui/InlineTitleGroupBox.h"
#include "ui/QtText.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QStyle>
#include <QTextLayout>

#include <algorithm>
#include <limits>

namespace pirela {

namespace {

constexpr int kGap = 4;  // pixels kept between a grown control and the next one beside it
constexpr int kEdge = 6; // pixels kept inside the dialog's right edge and a group box's

bool IsTwoLines(const res::ControlTemplate& control) {
    return control.height >= kTwoLineDialogUnits;
}

int TextWidth(const QWidget& widget, const QString& text) {
    return widget.fontMetrics().horizontalAdvance(WithoutMnemonic(text));
}

// The width the control needs to show its text on one line; 0 for controls without one.
int NeededWidth(const PlacedControl& placed) {
    QWidget& widget = *placed.widget;
    switch (placed.control->kind) {
    case res::ControlKind::Label:
        return TextWidth(widget, static_cast<QLabel&>(widget).text());
    case res::ControlKind::CheckBox:
    case res::ControlKind::RadioButton:
        return widget.sizeHint().width();
    case res::ControlKind::PushButton:
    case res::ControlKind::DefaultPushButton:
        return TextWidth(widget, static_cast<QAbstractButton&>(widget).text()) +
               widget.style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, &widget) +
               2 * widget.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &widget);
    case res::ControlKind::GroupBox:
        return static_cast<InlineTitleGroupBox&>(widget).TitleExtent();
    default:
        return 0;
    }
}

void GrowDialog(QWidget& dialog, int by) {
    const QSize size(dialog.width() + by, dialog.height());
    if (dialog.minimumSize() == dialog.maximumSize()) {
        dialog.setFixedSize(size);
    } else {
        dialog.resize(size);
    }
}

// Where a control may grow: inside the group box around it (or the dialog), and the controls
// beside it on its rows in there.
struct Room {
    int limit = 0;      // the container's right edge, less its margin
    bool dialog = true; // the container is the dialog itself
    std::vector<QWidget*> beside;
    bool besideMoves = true; // false when a group box stands beside it: its contents would stay
};

Room RoomOf(const PlacedControl& self, const std::vector<PlacedControl>& all, int dialogWidth) {
    const QRect own = self.widget->geometry();
    Room room;
    room.limit = dialogWidth - kEdge;
    QRect container(0, 0, dialogWidth, std::numeric_limits<int>::max());
    for (const PlacedControl& other : all) {
        const QRect rect = other.widget->geometry();
        if (other.control->kind == res::ControlKind::GroupBox && rect.contains(own) &&
            rect.right() - kEdge < room.limit) {
            room.limit = rect.right() - kEdge;
            room.dialog = false;
            container = rect;
        }
    }
    for (const PlacedControl& other : all) {
        const QRect rect = other.widget->geometry();
        if (other.widget != self.widget && rect.left() > own.left() && rect.top() <= own.bottom() &&
            rect.bottom() >= own.top() && container.contains(rect)) {
            room.beside.push_back(other.widget);
            room.besideMoves =
                room.besideMoves && other.control->kind != res::ControlKind::GroupBox;
        }
    }
    return room;
}

// The right edge the control may reach without moving anything.
int FreeRight(const Room& room) {
    int right = room.limit;
    for (const QWidget* other : room.beside) {
        right = std::min(right, other->x() - kGap);
    }
    return right;
}

// Makes the control width wide, as far as the room allows: into the free room before the next
// control beside it, then by moving the controls beside it to the right, then, standing free
// at the dialog's edge, by widening the dialog.
void Widen(QWidget& dialog, QWidget& widget, int width, const Room& room) {
    int reached = std::max(widget.width(), std::min(width, FreeRight(room) - widget.x()));
    if (reached < width && !room.beside.empty() && room.besideMoves) {
        int rightmost = 0;
        for (const QWidget* other : room.beside) {
            rightmost = std::max(rightmost, other->geometry().right());
        }
        const int push = std::max(0, std::min(width - reached, room.limit - rightmost));
        for (QWidget* other : room.beside) {
            other->move(other->x() + push, other->y());
        }
        reached += push;
    }
    if (reached < width && room.beside.empty() && room.dialog) {
        GrowDialog(dialog, width - reached);
        reached = width;
    }
    widget.resize(reached, widget.height());
}

// The text broken into lines no wider than width, as the font lays Japanese and Latin out.
QString BrokenIntoLines(const QString& text, const QFont& font, int width) {
    QTextLayout layout(text, font);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        lines << text.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    return lines.join(u'\n');
}

void BreakCheckBoxText(QCheckBox& box) {
    const int besideText = box.sizeHint().width() - TextWidth(box, box.text());
    box.setText(BrokenIntoLines(box.text(), box.font(), box.width() - besideText));
}

// A label that breaks its text: as wide as its lines need, within the room it has, and as
// high as they need when a font's lines are taller than the template allowed for.
void WidenWrappingLabel(QLabel& label, int right) {
    int width = label.width();
    while (label.heightForWidth(width) > label.height() && label.x() + width < right) {
        width += kGap;
    }
    width = std::max(label.width(), std::min(width, right - label.x()));
    label.resize(width, std::max(label.height(), label.heightForWidth(width)));
}

} // namespace

void FitControlsToTheirTexts(QWidget& dialog, const std::vector<PlacedControl>& placed) {
    for (const PlacedControl& control : placed) {
        QWidget& widget = *control.widget;
        const Room room = RoomOf(control, placed, dialog.width());
        if (IsTwoLines(*control.control)) {
            if (auto* label = qobject_cast<QLabel*>(&widget)) {
                WidenWrappingLabel(*label, FreeRight(room));
            } else if (auto* box = qobject_cast<QCheckBox*>(&widget)) {
                BreakCheckBoxText(*box);
            }
            continue;
        }
        const int needed = NeededWidth(control);
        if (needed > widget.width()) {
            Widen(dialog, widget, needed, room);
        }
    }
}

} // namespace pirela
