#include "load/ShownColours.h"

#include "colour/DisplayProfile.h"

#include <algorithm>

namespace pirela {

namespace {

// Rows converted at a time after the decode: about a millisecond of a wide photo's, so that a
// job going away never waits long for its worker.
constexpr int kFollowUpRows = 16;

} // namespace

void ShownColours::Start(Bitmap& bitmap) {
    if (!manage_ || !bitmap.Colour() || !bitmap.PixelsWritable()) {
        return;
    }
    auto transform = ColourTransform::ToDisplay(*bitmap.Colour(), DisplayProfile());
    if (!transform) {
        return;
    }
    if (bitmap.BitCount() <= 8) {
        // The colours are all in the table: converted once, they are those shown.
        transform->ConvertTable(bitmap.MutableColourTable());
        return;
    }
    const std::lock_guard lock(mutex_);
    transform_ = std::move(transform);
    height_ = bitmap.Height();
}

void ShownColours::RowsFinal(Bitmap& bitmap, int from, int to,
                             const std::function<bool()>& drawnSmaller) {
    (void)from; // the rows not yet converted may begin earlier, when they were put off
    {
        std::unique_lock lock(mutex_);
        if (!transform_) {
            return;
        }
        if (!decided_) {
            decided_ = true;
            lock.unlock();
            const bool smaller = drawnSmaller();
            lock.lock();
            deferred_ = smaller;
        }
        if (!Converting()) {
            return;
        }
    }
    ConvertRows(bitmap, to);
}

void ShownColours::ConvertRows(Bitmap& bitmap, int to) {
    // Only the worker moves converted_, so it can be read and the rows converted unlocked.
    const int from = [this] {
        const std::lock_guard lock(mutex_);
        return converted_;
    }();
    if (to <= from) {
        return;
    }
    transform_->ConvertRows(bitmap, from, to);
    {
        const std::lock_guard lock(mutex_);
        converted_ = to;
    }
    changed_.notify_all();
}

void ShownColours::ConvertPreview(Bitmap& preview) const {
    const std::lock_guard lock(mutex_);
    if (transform_ && preview.PixelsWritable()) {
        transform_->ConvertRows(preview, 0, preview.Height());
    }
}

void ShownColours::ConvertPicture(ScaledPicture& picture) const {
    const std::lock_guard lock(mutex_);
    if (transform_ && converted_ < height_) {
        transform_->ConvertPicture(picture);
    }
}

void ShownColours::FollowUp(Bitmap& bitmap, const std::atomic<bool>& stop,
                            const std::function<void()>& onChange) {
    struct Over {
        ShownColours& colours;
        ~Over() {
            {
                const std::lock_guard lock(colours.mutex_);
                colours.over_ = true;
            }
            colours.changed_.notify_all();
        }
    } over{*this};
    for (;;) {
        int to = 0;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] {
                return wanted_ || cancelled_ || !transform_ || converted_ >= height_ ||
                       stop.load(std::memory_order_relaxed);
            });
            if (cancelled_ || !transform_ || converted_ >= height_ ||
                stop.load(std::memory_order_relaxed)) {
                return;
            }
            to = std::min(height_, converted_ + kFollowUpRows);
        }
        ConvertRows(bitmap, to);
        bool tell = false;
        {
            const std::lock_guard lock(mutex_);
            tell = watched_ > 0 && (converted_ >= watched_ || converted_ >= height_);
            if (tell) {
                watched_ = 0;
            }
        }
        if (tell && onChange) {
            onChange();
        }
    }
}

bool ShownColours::Deferred() const {
    const std::lock_guard lock(mutex_);
    return transform_ && deferred_;
}

int ShownColours::RowsShown(int finalRows) const {
    const std::lock_guard lock(mutex_);
    return transform_ && deferred_ ? std::min(finalRows, converted_) : finalRows;
}

void ShownColours::Want(int rows) {
    {
        const std::lock_guard lock(mutex_);
        wanted_ = true;
        watched_ = std::max(rows, 1);
    }
    changed_.notify_all();
}

void ShownColours::WaitForAll() {
    std::unique_lock lock(mutex_);
    if (!transform_) {
        return;
    }
    wanted_ = true;
    changed_.notify_all();
    changed_.wait(lock, [&] { return converted_ >= height_ || cancelled_ || over_; });
}

void ShownColours::Cancel() {
    {
        const std::lock_guard lock(mutex_);
        cancelled_ = true;
    }
    changed_.notify_all();
}

} // namespace pirela
