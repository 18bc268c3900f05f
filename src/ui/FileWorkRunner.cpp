#include "ui/FileWorkRunner.h"

#include "ui/CFileWorkWindow.h"
#include "ui/QtText.h"

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QTimer>

#include <chrono>
#include <future>
#include <system_error>
#include <thread>

namespace pirela {

FileWorkRunner::FileWorkRunner(std::function<void(const QString&)> showStatus)
    : showStatus_(std::move(showStatus)) {}

FileWorkRunner::~FileWorkRunner() = default;

void FileWorkRunner::Run(const std::function<void()>& work, std::atomic<bool>& cancel) {
    if (Running()) {
        work(); // already beside the windows
        return;
    }
    cancel_ = &cancel;
    QEventLoop loop;
    std::promise<void> finished;
    std::future<void> done = finished.get_future();
    std::thread worker;
    try {
        worker = std::thread([&] {
            work();
            finished.set_value();
            QMetaObject::invokeMethod(&loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
        });
    } catch (const std::system_error&) {
        work(); // no thread to be had: the work runs here, as it always did
        finished.set_value();
    }
    // Work on a disk that answers is over at once, and then the window never noticed it.
    if (done.wait_for(std::chrono::milliseconds(kQuietMs)) != std::future_status::ready) {
        QTimer windowTimer;
        windowTimer.setSingleShot(true);
        connect(&windowTimer, &QTimer::timeout, this, [this] { ShowWindow(); });
        windowTimer.start(kWindowAfterMs - kQuietMs);
        qApp->installEventFilter(this);
        // The loop ends early only when the whole program quits; the work is waited for then.
        loop.exec();
        worker.join();
        // Keys pressed while it ran but not yet handled are refused now, never acted on later.
        QCoreApplication::processEvents();
        qApp->removeEventFilter(this);
        window_.reset();
    } else if (worker.joinable()) {
        worker.join();
    }
    cancel_ = nullptr;
    const std::lock_guard lock(progressMutex_);
    progress_.clear(); // the next work's window shows its own text, never this one's
}

void FileWorkRunner::ShowProgress(const std::string& text) {
    const std::lock_guard lock(progressMutex_);
    progress_ = ToQString(text);
    if (!progressPosted_) {
        progressPosted_ = true;
        QMetaObject::invokeMethod(this, [this] { ApplyProgress(); }, Qt::QueuedConnection);
    }
}

void FileWorkRunner::SetText(const QString& text) {
    {
        const std::lock_guard lock(progressMutex_);
        progress_ = text;
    }
    if (window_) {
        window_->SetText(text);
    }
}

void FileWorkRunner::ShowNotice(const QString& text) {
    showStatus_(text);
    sinceNotice_.start();
}

void FileWorkRunner::ApplyProgress() {
    QString text;
    {
        const std::lock_guard lock(progressMutex_);
        text = progress_;
        progressPosted_ = false;
    }
    if (cancel_ == nullptr) {
        return; // the work ended before its text came
    }
    if (!sinceNotice_.isValid() || sinceNotice_.elapsed() >= kNoticeMs) {
        showStatus_(text);
    }
    if (window_) {
        window_->SetText(text);
    }
}

void FileWorkRunner::Cancel() {
    if (cancel_ != nullptr) {
        *cancel_ = true;
    }
}

void FileWorkRunner::ShowWindow() {
    if (cancel_ == nullptr || window_) {
        return;
    }
    window_ = std::make_unique<CFileWorkWindow>(mainWindow_);
    {
        const std::lock_guard lock(progressMutex_);
        window_->SetText(progress_);
    }
    connect(window_.get(), &CFileWorkWindow::cancelled, this, [this] { Cancel(); });
    window_->show();
}

bool FileWorkRunner::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && cancel_ != nullptr &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
        QApplication::activeModalWidget() == nullptr &&
        QApplication::activePopupWidget() == nullptr) {
        Cancel();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace pirela
