#include "image/DecodeProgress.h"

namespace pirela {

void DecodeProgress::Started(const Bitmap& bitmap) {
    {
        const std::lock_guard lock(mutex_);
        bitmap_ = &bitmap;
    }
    changed_.notify_all();
}

void DecodeProgress::RowsFinished(int rows) {
    {
        const std::lock_guard lock(mutex_);
        if (rows <= finishedRows_) {
            return;
        }
        finishedRows_ = rows;
    }
    changed_.notify_all();
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
    {
        const std::lock_guard lock(mutex_);
        ended_ = true;
    }
    changed_.notify_all();
}

bool DecodeProgress::HasEnded() const {
    const std::lock_guard lock(mutex_);
    return ended_;
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

} // namespace pirela
