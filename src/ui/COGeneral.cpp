#include "ui/COGeneral.h"

#include "host/DocumentHost.h"
#include "host/Prompter.h"
#include "res/ProgramTexts.h"
#include "res/ResourceIds.h"
#include "ui/QtText.h"

#include <QAbstractButton>
#include <QColorDialog>
#include <QEvent>
#include <QFile>
#include <QLineEdit>
#include <QMouseEvent>

namespace pirela {

namespace {

QColor ColourOf(int bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

int BgrOf(const QColor& colour) {
    return colour.red() | (colour.green() << 8) | (colour.blue() << 16);
}

std::string IconSvg() {
    QFile icon(QStringLiteral(":/icons/pirela.svg"));
    return icon.open(QIODevice::ReadOnly) ? icon.readAll().toStdString() : std::string();
}

} // namespace

COGeneral::COGeneral(OptionsContext& context, QWidget* parent)
    : COptionPage(context, res::GeneralPageTemplate(), parent),
      name_(qobject_cast<QLineEdit*>(Control(res::kGeneralShortcutName))) {
    const auto onClick = [this](int id, void (COGeneral::*action)()) {
        connect(qobject_cast<QAbstractButton*>(Control(id)), &QAbstractButton::clicked, this,
                action);
    };
    onClick(res::kGeneralUseBackground, &COGeneral::OnUseBackgroundClicked);
    onClick(res::kGeneralChooseColour, &COGeneral::ChooseColour);
    onClick(res::kGeneralSystemColour, &COGeneral::TakeSystemColour);
    onClick(res::kGeneralShortcut, &COGeneral::OnLauncherClicked);
    ModifiesOnClick(res::kGeneralApplyOrientation);
    ModifiesOnClick(res::kGeneralCentreImage);
    ModifiesOnClick(res::kGeneralOpenLast);
    ModifiesOnClick(res::kGeneralColourProfile);
    ModifiesOnClick(res::kGeneralPlayAnimation);
    connect(name_, &QLineEdit::textEdited, this, [this] {
        nameChanged_ = true;
        SetModified();
    });
    Control(res::kGeneralColourSwatch)->installEventFilter(this);
    Control(res::kGeneralColourSwatch)->setAutoFillBackground(true);
}

void COGeneral::OnInitDialog() {
    const OptionBlock& options = context_.settings.options;
    SetChecked(res::kGeneralUseBackground, options.bgColorType == 1);
    SetChecked(res::kGeneralApplyOrientation, options.applyOrientation != 0);
    SetChecked(res::kGeneralCentreImage, options.centreImage != 0);
    SetChecked(res::kGeneralOpenLast, options.openLast != 0);
    SetChecked(res::kGeneralColourProfile, options.colourProfile != 0);
    SetChecked(res::kGeneralPlayAnimation, options.playAnimation != 0);
    colour_ = options.bgColor;
    launcher_ = Launcher(context_.launcher).FindOwn();
    SetChecked(res::kGeneralShortcut, launcher_.has_value());
    name_->setText(ToQString(launcher_ ? Launcher::DisplayName(*launcher_)
                                       : std::string(res::kDefaultLauncherName)));
    EnableNameControls();
    EnableColourControls();
}

void COGeneral::OnOK() {
    OptionBlock& options = context_.settings.options;
    options.bgColorType = IsChecked(res::kGeneralUseBackground) ? 1 : 0;
    options.bgColor = colour_; // kept even when unticked, for the next time it is ticked
    options.applyOrientation = IsChecked(res::kGeneralApplyOrientation) ? 1 : 0;
    options.centreImage = IsChecked(res::kGeneralCentreImage) ? 1 : 0;
    options.openLast = IsChecked(res::kGeneralOpenLast) ? 1 : 0;
    options.colourProfile = IsChecked(res::kGeneralColourProfile) ? 1 : 0;
    options.playAnimation = IsChecked(res::kGeneralPlayAnimation) ? 1 : 0;
    context_.host.UpdateAllViews();
    if (!Launcher(context_.launcher)
             .Apply(launcher_, IsChecked(res::kGeneralShortcut), ToUtf8(name_->text()),
                    nameChanged_, IconSvg())) {
        context_.prompter.ShowMessage(res::kMsgLauncherNotCreated, MessageIcon::Error,
                                      MessageButtons::Ok);
    }
    nameChanged_ = false;
}

void COGeneral::ChooseColour() {
    const QColor chosen = QColorDialog::getColor(ColourOf(colour_), this);
    if (chosen.isValid()) {
        SetColour(BgrOf(chosen));
    }
}

void COGeneral::TakeSystemColour() {
    SetColour(kWorkspaceColour);
}

void COGeneral::SetColour(int colour) {
    colour_ = colour;
    PaintSwatch();
    SetModified();
}

void COGeneral::OnUseBackgroundClicked() {
    EnableColourControls();
    SetModified();
}

void COGeneral::OnLauncherClicked() {
    EnableNameControls();
    SetModified();
}

void COGeneral::EnableNameControls() {
    const bool on = IsChecked(res::kGeneralShortcut);
    Control(res::kGeneralShortcutName)->setEnabled(on);
    Control(res::kGeneralShortcutNameLabel)->setEnabled(on);
}

void COGeneral::EnableColourControls() {
    const bool on = IsChecked(res::kGeneralUseBackground);
    for (int id : {res::kGeneralColourSwatch, res::kGeneralColourLabel, res::kGeneralChooseColour,
                   res::kGeneralSystemColour}) {
        Control(id)->setEnabled(on);
    }
    PaintSwatch();
}

void COGeneral::PaintSwatch() {
    QWidget* swatch = Control(res::kGeneralColourSwatch);
    QPalette palette = swatch->palette();
    const QColor fill = IsChecked(res::kGeneralUseBackground)
                            ? ColourOf(colour_)
                            : palette.color(QPalette::Active, QPalette::Base);
    palette.setColor(QPalette::Window, fill);
    palette.setColor(QPalette::Disabled, QPalette::Window, fill);
    swatch->setPalette(palette);
}

bool COGeneral::eventFilter(QObject* watched, QEvent* event) {
    // A click on the swatch chooses a colour, as the button beside it does.
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
        IsChecked(res::kGeneralUseBackground)) {
        ChooseColour();
        return true;
    }
    return COptionPage::eventFilter(watched, event);
}

} // namespace pirela
