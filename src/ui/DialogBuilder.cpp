#include "ui/DialogBuilder.h"

#include "res/ResourceIds.h"
#include "ui/CIconButton.h"
#include "ui/ControlTextFit.h"
#include "ui/InlineTitleGroupBox.h"
#include "ui/QtText.h"
#include "ui/ResourceIcons.h"

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include <vector>

namespace pirela {

namespace {

constexpr const char* kControlIdProperty = "pirelaControlId";

// The average character width as the classic dialog manager measures it.
int AverageCharWidth(const QFontMetrics& metrics) {
    static const QString alphabet =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return (metrics.horizontalAdvance(alphabet) / 26 + 1) / 2;
}

QWidget* MakeIcon(QWidget& dialog, const res::ControlTemplate& control, const QSize& pixels) {
    auto* label = new QLabel(&dialog);
    label->setPixmap(IconForResource(control.iconResource).pixmap(pixels));
    return label;
}

QWidget* MakeListBox(QWidget& dialog) {
    auto* list = new QListWidget(&dialog);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list->setUniformItemSizes(true); // many thousands of rows fill fast
    return list;
}

QWidget* MakePushButton(QWidget& parent, const res::ControlTemplate& control) {
    auto* button = new QPushButton(ToQString(control.text), &parent);
    button->setDefault(control.kind == res::ControlKind::DefaultPushButton);
    button->setAutoDefault(false);
    auto* dialog = qobject_cast<QDialog*>(&parent);
    if (dialog != nullptr && control.id == res::kIdOk) {
        QObject::connect(button, &QPushButton::clicked, dialog, &QDialog::accept);
    } else if (dialog != nullptr && control.id == res::kIdCancel) {
        QObject::connect(button, &QPushButton::clicked, dialog, &QDialog::reject);
    }
    return button;
}

QWidget* MakeEdit(QWidget& dialog, const res::ControlTemplate& control) {
    auto* edit = new QLineEdit(ToQString(control.text), &dialog);
    edit->setReadOnly(control.kind != res::ControlKind::Edit);
    edit->setFrame(control.kind != res::ControlKind::BorderlessReadOnlyEdit);
    if (control.kind == res::ControlKind::BorderlessReadOnlyEdit) {
        // Reads as text on the dialog, not as a field to fill in.
        edit->setStyleSheet(QStringLiteral("QLineEdit { background: transparent; }"));
        edit->setFocusPolicy(Qt::NoFocus);
    }
    return edit;
}

QWidget* MakeIconButton(QWidget& dialog, const res::ControlTemplate& control,
                        const QSize& pixels) {
    auto* button = new CIconButton(&dialog);
    button->setText(ToQString(control.text));
    button->setIcon(IconForResource(control.iconResource));
    const int side = pixels.height() - 4;
    button->setIconSize(QSize(side, side));
    return button;
}

QWidget* MakeSunkenFrame(QWidget& dialog) {
    auto* frame = new QFrame(&dialog);
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    return frame;
}

QWidget* MakeLabel(QWidget& dialog, const res::ControlTemplate& control) {
    auto* label = new QLabel(ToQString(control.text), &dialog);
    if (control.kind == res::ControlKind::CentredLabel) {
        label->setAlignment(Qt::AlignCenter);
        label->setWordWrap(true);
    }
    // A label two lines high (the dialogs' introductions) breaks its text into them.
    if (control.height >= kTwoLineDialogUnits) {
        label->setWordWrap(true);
    }
    return label;
}

QWidget* MakeControl(QWidget& dialog, const res::ControlTemplate& control, const QSize& pixels) {
    switch (control.kind) {
    case res::ControlKind::Icon:
        return MakeIcon(dialog, control, pixels);
    case res::ControlKind::Label:
    case res::ControlKind::CentredLabel:
        return MakeLabel(dialog, control);
    case res::ControlKind::ListBox:
        return MakeListBox(dialog);
    case res::ControlKind::PushButton:
    case res::ControlKind::DefaultPushButton:
        return MakePushButton(dialog, control);
    case res::ControlKind::Edit:
    case res::ControlKind::ReadOnlyEdit:
    case res::ControlKind::BorderlessReadOnlyEdit:
        return MakeEdit(dialog, control);
    case res::ControlKind::CheckBox:
        return new QCheckBox(ToQString(control.text), &dialog);
    case res::ControlKind::RadioButton:
        return new QRadioButton(ToQString(control.text), &dialog);
    case res::ControlKind::GroupBox:
        return new InlineTitleGroupBox(ToQString(control.text), &dialog);
    case res::ControlKind::SunkenFrame:
        return MakeSunkenFrame(dialog);
    case res::ControlKind::IconButton:
        return MakeIconButton(dialog, control, pixels);
    }
    return nullptr;
}

// A label's "&" key moves the focus to the next control in the template that can take it, as
// the classic dialog manager does: "名前(&N):" leads to the name box, and a label followed by
// another label leads past it.
void LinkMnemonic(std::vector<QLabel*>& pendingLabels, QWidget* widget) {
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        if (label->text().contains(u'&')) {
            pendingLabels.push_back(label);
        }
    } else if (widget->focusPolicy() != Qt::NoFocus) {
        for (QLabel* pending : pendingLabels) {
            pending->setBuddy(widget);
        }
        pendingLabels.clear();
    }
}

// A label without a control to lead to shows its text without the mnemonic's "&", which Qt
// would otherwise draw literally ("&&" stays one "&").
void DropMnemonics(const std::vector<QLabel*>& labels) {
    for (QLabel* label : labels) {
        label->setText(WithoutMnemonic(label->text()));
    }
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
    BuildControls(dialog, dialogTemplate);
}

void BuildControls(QWidget& dialog, const res::DialogTemplate& dialogTemplate) {
    dialog.setFont(QFont(res::kDialogFontFamily, res::kDialogFontPoints));
    const QFontMetrics metrics(dialog.font());
    dialog.setFixedSize(
        DialogUnitsToPixels(QRect(0, 0, dialogTemplate.width, dialogTemplate.height), metrics)
            .size());
    std::vector<QLabel*> pendingLabels;
    std::vector<PlacedControl> placed;
    for (const res::ControlTemplate& control : dialogTemplate.controls) {
        const QRect place = DialogUnitsToPixels(
            QRect(control.x, control.y, control.width, control.height), metrics);
        QWidget* widget = MakeControl(dialog, control, place.size());
        widget->setGeometry(place);
        widget->setProperty(kControlIdProperty, control.id);
        if (control.toolTip != nullptr) {
            widget->setToolTip(ToQString(control.toolTip));
        }
        LinkMnemonic(pendingLabels, widget);
        placed.push_back({&control, widget});
    }
    DropMnemonics(pendingLabels);
    FitControlsToTheirTexts(dialog, placed);
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

void ReplaceControl(QWidget& dialog, int id, QWidget* replacement) {
    QWidget* control = FindControl(dialog, id);
    replacement->setParent(&dialog);
    replacement->setProperty(kControlIdProperty, id);
    if (control != nullptr) {
        replacement->setGeometry(control->geometry());
        QWidget::setTabOrder(control, replacement);
        delete control;
    }
}

} // namespace pirela
