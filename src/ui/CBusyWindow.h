#pragma once

#include <QDialog>

namespace pirela {

// A small frameless box with one centred line of text, shown while long work runs on the
// user interface thread (dialog 144). Its text is painted at once when it changes, since the
// event loop does not run until the work is done.
class CBusyWindow : public QDialog {
    Q_OBJECT
public:
    explicit CBusyWindow(QWidget* mainWindow);

    void SetText(const QString& text);
    QString Text() const;
};

} // namespace pirela
