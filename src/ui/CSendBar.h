#pragma once

#include <QDockWidget>

class QAbstractButton;

namespace pirela {

class CIconButton;
class CMainFrame;
struct AppSettings;

// The send dialog bar: eight destination buttons, copy or move, "ask first" and "rename", and
// the button of the destination folders dialog. It docks at the left or right edge or floats.
// Its buttons give the frame's commands (the same as the keys 1 to 8), so they are enabled
// exactly when those commands are, and never send anything themselves.
class CSendBar : public QDockWidget {
    Q_OBJECT
public:
    CSendBar(AppSettings& settings, CMainFrame& frame);

    // Captions, icons, tool tips and enabling of the destination buttons from the settings and
    // the commands' rules; the radio buttons and check boxes from the settings.
    void Refresh();

    CIconButton* DestinationButton(int index) const { return destinations_[index]; }
    QAbstractButton* Control(int id) const;

private:
    // Widens the bar to show its whole title beside its float and close buttons.
    void FitTitle();
    void ConnectDestinationButtons();
    void ConnectOptions();
    void UpdateEnabling();

    AppSettings& settings_;
    CMainFrame& frame_;
    QWidget* content_;
    CIconButton* destinations_[8] = {};
};

} // namespace pirela
