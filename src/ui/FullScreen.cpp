#include "ui/FullScreen.h"

#include <QDockWidget>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

namespace pirela {

namespace {

FullScreen::Part PartOf(QWidget* widget) {
    return {[widget] { return widget->isVisible(); },
            [widget] { widget->setVisible(!widget->isVisible()); }};
}

} // namespace

FullScreen::FullScreen(QMainWindow& window) : QObject(&window), window_(window) {}

void FullScreen::AddPart(Part part) {
    parts_.push_back(std::move(part));
}

std::vector<FullScreen::Part> FullScreen::WindowParts() const {
    std::vector<Part> parts{PartOf(window_.menuBar()), PartOf(window_.statusBar())};
    for (QToolBar* bar : window_.findChildren<QToolBar*>()) {
        parts.push_back(PartOf(bar));
    }
    for (QDockWidget* bar : window_.findChildren<QDockWidget*>()) {
        parts.push_back(PartOf(bar));
    }
    parts.insert(parts.end(), parts_.begin(), parts_.end());
    return parts;
}

void FullScreen::Enter() {
    if (on_) {
        return;
    }
    on_ = true;
    wasMaximised_ = window_.isMaximized();
    hidden_.clear();
    for (Part& part : WindowParts()) {
        if (part.shown()) {
            part.toggle();
            hidden_.push_back(std::move(part));
        }
    }
    window_.showFullScreen();
    window_.activateWindow();
}

void FullScreen::Leave() {
    if (!on_) {
        return;
    }
    on_ = false;
    if (wasMaximised_) {
        window_.showMaximized();
    } else {
        window_.showNormal();
    }
    for (Part& part : hidden_) {
        part.toggle();
    }
    hidden_.clear();
    window_.activateWindow();
}

void FullScreen::Toggle() {
    if (on_) {
        Leave();
    } else {
        Enter();
    }
}

} // namespace pirela
