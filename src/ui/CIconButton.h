#pragma once

#include <QAbstractButton>

namespace pirela {

// A flat push button showing an icon and a one-line caption. It lights up (a raised edge)
// while the pointer is over it and the program is the active one, looks sunken while pressed,
// and never takes the keyboard focus, so Space and Enter stay with the image view. A caption
// that does not fit ends in "…". A double click counts as two clicks.
class CIconButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit CIconButton(QWidget* parent = nullptr);

    // Without its caption the icon stands alone in the middle.
    void SetShowCaption(bool show);

    // The pointer is over the enabled button and one of the program's windows is active.
    bool IsHot() const;

    // The caption as drawn, without its mnemonic mark: cut with "…" when too wide.
    QString ShownCaption() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QRect IconRect() const;
    QRect CaptionRect() const;
    void DrawEdge(QPainter& painter) const;
    // The caption cut to the caption area, with its mnemonic mark kept where it still shows.
    QString ElidedCaption() const;

    bool showCaption_ = true;
    bool pointerOver_ = false;
};

} // namespace pirela
