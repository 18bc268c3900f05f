#pragma once

#include "settings/AppSettings.h"

#include <QObject>
#include <QTimer>

class QWidget;

namespace pirela {

// Puts a top-level window's outer edges, window frame included, at a rectangle and reads them
// back, so that a window restored from the settings comes back exactly where it was instead of
// growing by its frame at every start. The frame's size is known only once the window manager
// has framed the shown window: until then the client stands at the rectangle, and it is fitted
// inside it as soon as the frame appears. A window shown maximised is fitted when it is first
// restored, so that it comes back at the rectangle and not grown by its frame.
class FramePlacement : public QObject {
    Q_OBJECT
public:
    explicit FramePlacement(QWidget& window);

    // Keeps the rectangle's title bar reachable on one of the screens.
    void PlaceAt(const WindowRect& outer);

    // The outer rectangle of the window as it stands when neither maximised nor minimised
    // (shown or hidden): the current one, or the last seen in that state (or the placed one)
    // while it is maximised or minimised.
    WindowRect NormalOuterRect() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool InNormalState() const;
    void FitToFrame();
    void RememberNormalRect();

    QWidget& window_;
    WindowRect target_;
    WindowRect lastNormal_;
    bool fitPending_ = false;
    int triesLeft_ = 0;
    QTimer retry_;
};

} // namespace pirela
