#pragma once

#include <QDialog>

namespace pirela {

// A small frameless box with one centred line of text, shown while long work runs (dialog 144):
// a folder listed beside the window, or work on the user interface thread. It never takes the
// keyboard or the mouse. Its text is painted at once when it changes, for the work that holds
// the event loop until it is done.
class CBusyWindow : public QDialog {
    Q_OBJECT
public:
    explicit CBusyWindow(QWidget* mainWindow);

    void SetText(const QString& text);
    QString Text() const;
};

} // namespace pirela
