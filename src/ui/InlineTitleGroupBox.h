#pragma once

#include <QGroupBox>

namespace pirela {

// A group box whose title sits on its top line, the line passing behind it at half the text's
// height: the frame starts where the template places the box, so the first control inside
// (ten dialog units lower) lies below the line. Qt's own group box puts its title above a frame
// that then runs through that control.
class InlineTitleGroupBox : public QGroupBox {
    Q_OBJECT
public:
    using QGroupBox::QGroupBox;

    // The horizontal room the title takes from the left edge, text and the gap around it.
    int TitleExtent() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect TitleRect() const;
};

} // namespace pirela
