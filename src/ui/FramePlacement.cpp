#include "ui/FramePlacement.h"

#include "app/WindowPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <vector>

namespace pirela {

namespace {

// How long a shown window waits for the window manager's frame: without a window manager
// none ever comes, and the client already stands at the rectangle.
constexpr int kRetryMs = 20;
constexpr int kTries = 100;

WindowRect ToWindowRect(const QRect& rect) {
    return WindowRect{rect.x(), rect.y(), rect.x() + rect.width(), rect.y() + rect.height()};
}

std::vector<WindowRect> AvailableScreenAreas() {
    std::vector<WindowRect> areas;
    if (const QScreen* primary = QGuiApplication::primaryScreen()) {
        areas.push_back(ToWindowRect(primary->availableGeometry())); // first: the fallback
    }
    for (const QScreen* screen : QGuiApplication::screens()) {
        areas.push_back(ToWindowRect(screen->availableGeometry()));
    }
    return areas;
}

} // namespace

FramePlacement::FramePlacement(QWidget& window) : QObject(&window), window_(window) {
    retry_.setInterval(kRetryMs);
    connect(&retry_, &QTimer::timeout, this, &FramePlacement::FitToFrame);
    window_.installEventFilter(this);
}

void FramePlacement::PlaceAt(const WindowRect& outer) {
    target_ = ReachableWindowRect(outer, AvailableScreenAreas());
    lastNormal_ = target_;
    fitPending_ = true;
    triesLeft_ = kTries;
    window_.move(target_.left, target_.top);
    window_.resize(target_.Width(), target_.Height());
    if (window_.isVisible()) {
        retry_.start();
    }
}

bool FramePlacement::InNormalState() const {
    return (window_.windowState() &
            (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)) == 0;
}

void FramePlacement::FitToFrame() {
    if (!fitPending_ || !window_.isVisible()) {
        return;
    }
    if (!InNormalState()) {
        // Shown maximised: the placed rectangle stays its normal one, and the client is fitted
        // inside it when the window first comes back to its normal state.
        retry_.stop();
        return;
    }
    const QRect frame = window_.frameGeometry();
    const QRect client = window_.geometry();
    const QRect wanted(target_.left, target_.top, target_.Width(), target_.Height());
    if ((frame != client && frame == wanted) || --triesLeft_ <= 0) {
        fitPending_ = false;
        retry_.stop();
        return;
    }
    if (frame == client) {
        return; // not framed yet
    }
    // Fitted to the frame as it stands; tried again until the outer edges are in place, since
    // a window manager may change the frame once more (the borders a restored window gets back).
    window_.setGeometry(target_.left + (client.x() - frame.x()),
                        target_.top + (client.y() - frame.y()),
                        target_.Width() - (frame.width() - client.width()),
                        target_.Height() - (frame.height() - client.height()));
}

void FramePlacement::RememberNormalRect() {
    if (!fitPending_ && InNormalState()) {
        lastNormal_ = ToWindowRect(window_.frameGeometry());
    }
}

WindowRect FramePlacement::NormalOuterRect() const {
    return InNormalState() ? ToWindowRect(window_.frameGeometry()) : lastNormal_;
}

bool FramePlacement::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_) {
        switch (event->type()) {
        case QEvent::Show:
            if (fitPending_) {
                QTimer::singleShot(0, this, &FramePlacement::FitToFrame);
                retry_.start();
            }
            break;
        case QEvent::WindowStateChange:
            if (fitPending_ && InNormalState() && window_.isVisible()) {
                triesLeft_ = kTries;
                retry_.start();
            }
            break;
        case QEvent::Move:
        case QEvent::Resize:
            if (fitPending_) {
                FitToFrame();
            }
            RememberNormalRect();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace pirela
