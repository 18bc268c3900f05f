#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

class QWidget;

namespace pirela {

class CFileWorkWindow;

// Runs file work on a worker thread. Work that takes longer than a moment lets the window's
// thread go on with its events meanwhile: the windows repaint, move and resize, and only the
// commands that may act during file work act (the command table asks Running()); keys for the
// others are refused, then and when the work ends, never kept for later. After half a second a
// small window shows the progress and offers キャンセル; Escape in the main window cancels too.
// The call returns when the work is done, so the document's steps stay in their order.
class FileWorkRunner : public QObject {
    Q_OBJECT
public:
    // showStatus puts a text in the status bar's message pane.
    explicit FileWorkRunner(std::function<void(const QString&)> showStatus);
    ~FileWorkRunner() override;

    void SetMainWindow(QWidget* mainWindow) { mainWindow_ = mainWindow; }

    void Run(const std::function<void()>& work, std::atomic<bool>& cancel);
    // From the worker (or this thread): the latest progress text, shown soon on this thread.
    void ShowProgress(const std::string& text);
    // On this thread: the text the status bar shows for the work, for its window to show too.
    void SetText(const QString& text);
    // On this thread: a notice the status bar shows for a while, over the work's progress.
    void ShowNotice(const QString& text);
    static constexpr int kNoticeMs = 2000;
    bool Running() const { return cancel_ != nullptr; }
    // The user's cancel: the running work's flag is set.
    void Cancel();

    // How long the window's thread simply waits for the work: a disk that answers is done by
    // then, and events are handled in their order as always.
    static constexpr int kQuietMs = 20;
    // How long work runs before its window shows.
    static constexpr int kWindowAfterMs = 500;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowWindow();
    void ApplyProgress();

    std::function<void(const QString&)> showStatus_;
    QWidget* mainWindow_ = nullptr;
    std::atomic<bool>* cancel_ = nullptr;
    std::unique_ptr<CFileWorkWindow> window_;
    std::mutex progressMutex_;
    QString progress_;
    bool progressPosted_ = false;
    QElapsedTimer sinceNotice_;
};

} // namespace pirela
