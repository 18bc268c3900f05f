#include "image/DecodeProgress.h"

namespace pirela {

void DecodeProgress::Started(Bitmap& bitmap) {
    if (finisher_) {
        finisher_(bitmap, 0, 0);
    }
    {
        const std::lock_guard lock(mutex_);
        bitmap_ = &bitmap;
        filling_ = &bitmap;
    }
    changed_.notify_all();
}

void DecodeProgress::RowsFinished(int rows) {
    int from = 0;
    Bitmap* filling = nullptr;
    {
        const std::lock_guard lock(mutex_);
        if (rows <= finishedRows_) {
            return;
        }
        from = finishedRows_;
        filling = filling_;
    }
    // Only this thread writes these rows, and nobody reads them before they are told final.
    if (finisher_ && filling != nullptr) {
        finisher_(*filling, from, rows);
    }
    bool tell = false;
    {
        const std::lock_guard lock(mutex_);
        finishedRows_ = rows;
        tell = watchedRows_ > 0 && finishedRows_ >= watchedRows_;
        if (tell) {
            watchedRows_ = 0;
        }
    }
    changed_.notify_all();
    if (tell && watcher_) {
        watcher_();
    }
}

std::unique_ptr<Bitmap> DecodeProgress::Outcome(bool decoded, std::unique_ptr<Bitmap> bitmap) {
    if (decoded) {
        return bitmap;
    }
    const std::lock_guard lock(mutex_);
    if (bitmap && bitmap.get() == bitmap_) {
        abandoned_ = std::move(bitmap);
    }
    return nullptr;
}

void DecodeProgress::RequestStop() {
    stop_.store(true, std::memory_order_relaxed);
}

void DecodeProgress::Ended() {
    bool tell = false;
    {
        const std::lock_guard lock(mutex_);
        ended_ = true;
        tell = watchedRows_ > 0;
        watchedRows_ = 0;
    }
    changed_.notify_all();
    if (tell && watcher_) {
        watcher_();
    }
}

bool DecodeProgress::HasEnded() const {
    const std::lock_guard lock(mutex_);
    return ended_;
}

bool DecodeProgress::WaitForEnd(std::chrono::milliseconds most) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, most, [&] { return ended_; });
}

int DecodeProgress::WaitForRows(int rows) const {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return ended_ || finishedRows_ >= rows; });
    return finishedRows_;
}

const Bitmap* DecodeProgress::WaitForBitmap() const {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return ended_ || bitmap_ != nullptr; });
    return bitmap_;
}

int DecodeProgress::FinishedRows() const {
    const std::lock_guard lock(mutex_);
    return finishedRows_;
}

const Bitmap* DecodeProgress::BitmapSoFar() const {
    const std::lock_guard lock(mutex_);
    return bitmap_;
}

void DecodeProgress::WatchRows(int rows) const {
    {
        const std::lock_guard lock(mutex_);
        if (!ended_ && finishedRows_ < rows) {
            watchedRows_ = rows;
            return;
        }
        watchedRows_ = 0;
    }
    if (watcher_) {
        watcher_();
    }
}

} // namespace pirela
