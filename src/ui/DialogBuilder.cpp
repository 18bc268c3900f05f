#include "ui/DialogBuilder.h"

#include "res/ResourceIds.h"
#include "ui/QtText.h"
#include "ui/ResourceIcons.h"

#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace pirela {

namespace {

constexpr const char* kControlIdProperty = "pirelaControlId";

// The average character width as the classic dialog manager measures it.
int AverageCharWidth(const QFontMetrics& metrics) {
    static const QString alphabet =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return (metrics.horizontalAdvance(alphabet) / 26 + 1) / 2;
}

QWidget* MakeControl(QDialog& dialog, const res::ControlTemplate& control, const QSize& pixels) {
    switch (control.kind) {
    case res::ControlKind::Icon: {
        auto* label = new QLabel(&dialog);
        label->setPixmap(IconForResource(control.iconResource).pixmap(pixels));
        return label;
    }
    case res::ControlKind::Label:
        return new QLabel(ToQString(control.text), &dialog);
    case res::ControlKind::CentredLabel: {
        auto* label = new QLabel(ToQString(control.text), &dialog);
        label->setAlignment(Qt::AlignCenter);
        label->setWordWrap(true);
        return label;
    }
    case res::ControlKind::ListBox: {
        auto* list = new QListWidget(&dialog);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        list->setUniformItemSizes(true); // many thousands of rows fill fast
        return list;
    }
    case res::ControlKind::PushButton:
    case res::ControlKind::DefaultPushButton: {
        auto* button = new QPushButton(ToQString(control.text), &dialog);
        button->setDefault(control.kind == res::ControlKind::DefaultPushButton);
        button->setAutoDefault(false);
        if (control.id == res::kIdOk) {
            QObject::connect(button, &QPushButton::clicked, &dialog, &QDialog::accept);
        } else if (control.id == res::kIdCancel) {
            QObject::connect(button, &QPushButton::clicked, &dialog, &QDialog::reject);
        }
        return button;
    }
    }
    return nullptr;
}

} // namespace

QRect DialogUnitsToPixels(const QRect& units, const QFontMetrics& metrics) {
    const int baseX = AverageCharWidth(metrics);
    const int baseY = metrics.height();
    return QRect(units.x() * baseX / 4, units.y() * baseY / 8, units.width() * baseX / 4,
                 units.height() * baseY / 8);
}

void BuildDialog(QDialog& dialog, const res::DialogTemplate& dialogTemplate) {
    dialog.setWindowTitle(ToQString(dialogTemplate.caption));
    dialog.setFont(QFont(res::kDialogFontFamily, res::kDialogFontPoints));
    const QFontMetrics metrics(dialog.font());
    dialog.setFixedSize(
        DialogUnitsToPixels(QRect(0, 0, dialogTemplate.width, dialogTemplate.height), metrics)
            .size());
    for (const res::ControlTemplate& control : dialogTemplate.controls) {
        const QRect place = DialogUnitsToPixels(
            QRect(control.x, control.y, control.width, control.height), metrics);
        QWidget* widget = MakeControl(dialog, control, place.size());
        widget->setGeometry(place);
        widget->setProperty(kControlIdProperty, control.id);
    }
}

QWidget* FindControl(const QWidget& dialog, int id) {
    for (QWidget* child : dialog.findChildren<QWidget*>()) {
        const QVariant controlId = child->property(kControlIdProperty);
        if (controlId.isValid() && controlId.toInt() == id) {
            return child;
        }
    }
    return nullptr;
}

} // namespace pirela
