#include "ui/LoneAltStyle.h"

#include <QApplication>
#include <QStyleFactory>

namespace pirela {

int LoneAltStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                            QStyleHintReturn* returnData) const {
    if (hint == SH_MenuBar_AltKeyNavigation) {
        return 0;
    }
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

void LoneAltStyle::Install() {
    if (qobject_cast<LoneAltStyle*>(QApplication::style()) == nullptr) {
        QApplication::setStyle(new LoneAltStyle(QStyleFactory::create(QApplication::style()->name())));
    }
}

} // namespace pirela
