#pragma once

#include <QProxyStyle>

namespace pirela {

// The application's style, but a lone press of Alt does not put the menu bar into keyboard
// mode: in that mode the next keys (B, N, 1...) went to the menu bar, silently, with nothing
// highlighted to say so. Alt with a letter still opens its menu.
class LoneAltStyle : public QProxyStyle {
    Q_OBJECT
public:
    using QProxyStyle::QProxyStyle;

    int styleHint(StyleHint hint, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;

    // Puts the style over the application's own, once.
    static void Install();
};

} // namespace pirela
