#pragma once

#include <QWidget>

class QLabel;

namespace pirela {

// The small window that stands over the main window while file work takes longer than a
// moment: the progress text and a キャンセル button. It never takes the keyboard from the main
// window, where the viewing keys go on acting and Escape cancels too.
class CFileWorkWindow : public QWidget {
    Q_OBJECT
public:
    explicit CFileWorkWindow(QWidget* mainWindow);

    void SetText(const QString& text);
    QString Text() const;

signals:
    void cancelled();

protected:
    // Closing the window is a cancel: it stays until the work has stopped.
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel* text_;
};

} // namespace pirela
