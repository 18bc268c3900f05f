#pragma once

#include <QObject>

#include <functional>
#include <vector>

class QMainWindow;

namespace pirela {

// The picture alone on the whole screen: the main window goes full screen with its menus, bars
// and the other windows of the program hidden, and comes back as it was (maximised or not,
// each part shown or hidden as before). It is never stored: every start shows the window.
class FullScreen : public QObject {
    Q_OBJECT
public:
    explicit FullScreen(QMainWindow& window);

    // A part of the program that is hidden while the screen is full, by the way it shows and
    // hides itself (the file list window keeps its own state).
    struct Part {
        std::function<bool()> shown;
        std::function<void()> toggle;
    };
    void AddPart(Part part);

    bool IsOn() const { return on_; }
    void Enter();
    void Leave();
    void Toggle();

private:
    // The menu bar, the toolbars, the docked bars and the status bar, as they stand now.
    std::vector<Part> WindowParts() const;

    QMainWindow& window_;
    std::vector<Part> parts_;
    std::vector<Part> hidden_; // what Enter hid, shown again by Leave
    bool on_ = false;
    bool wasMaximised_ = false;
};

} // namespace pirela
