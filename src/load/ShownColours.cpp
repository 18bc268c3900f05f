#include "load/ShownColours.h"

#include "colour/DisplayProfile.h"

#include <algorithm>

namespace pirela {

namespace {

// Rows converted at a time after the decode: well under a millisecond of a strip, so that a
// job going away never waits long for its worker.
constexpr int kFollowUpRows = 64;

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
    width_ = bitmap.Width();
    height_ = bitmap.Height();
    strips_.assign(static_cast<std::size_t>((width_ + kStripColumns - 1) / kStripColumns), {});
    const auto [first, last] = StripsOf(wantedEarly_.left, wantedEarly_.right);
    for (std::size_t strip = first; strip < last; ++strip) {
        strips_[strip].wanted = wantedEarly_.rows;
    }
}

std::pair<std::size_t, std::size_t> ShownColours::StripsOf(int left, int right) const {
    const int first = std::clamp(left, 0, width_) / kStripColumns;
    const int last = (std::clamp(right, 0, width_) + kStripColumns - 1) / kStripColumns;
    return {static_cast<std::size_t>(first), static_cast<std::size_t>(std::max(first, last))};
}

int ShownColours::ConvertedIn(const Area& area) const {
    int rows = INT_MAX;
    const auto [first, last] = StripsOf(area.left, area.right);
    for (std::size_t strip = first; strip < last; ++strip) {
        rows = std::min(rows, strips_[strip].converted);
    }
    return rows;
}

bool ShownColours::NothingConverted() const {
    return std::all_of(strips_.begin(), strips_.end(),
                       [](const Strip& strip) { return strip.converted == 0; });
}

void ShownColours::ConvertStrip(Bitmap& bitmap, std::size_t strip, int to) {
    // Only the worker moves a strip's converted rows, so they can be converted unlocked.
    int from = 0;
    {
        const std::lock_guard lock(mutex_);
        from = strips_[strip].converted;
    }
    if (to <= from) {
        return;
    }
    const int left = static_cast<int>(strip) * kStripColumns;
    transform_->ConvertRows(bitmap, from, to, left, left + kStripColumns);
    {
        const std::lock_guard lock(mutex_);
        strips_[strip].converted = to;
    }
    changed_.notify_all();
}

void ShownColours::RowsFinal(Bitmap& bitmap, int to) {
    std::vector<int> wanted;
    {
        const std::lock_guard lock(mutex_);
        if (!transform_) {
            return;
        }
        for (const Strip& strip : strips_) {
            wanted.push_back(strip.wanted);
        }
    }
    for (std::size_t strip = 0; strip < wanted.size(); ++strip) {
        ConvertStrip(bitmap, strip, std::min(to, wanted[strip]));
    }
}

void ShownColours::ConvertPreview(Bitmap& preview) const {
    const std::lock_guard lock(mutex_);
    if (transform_ && preview.PixelsWritable()) {
        transform_->ConvertRows(preview, 0, preview.Height());
    }
}

void ShownColours::PrepareToScale(Bitmap& bitmap) {
    bool partly = false;
    {
        const std::lock_guard lock(mutex_);
        partly = transform_ && !NothingConverted();
    }
    if (partly) {
        for (std::size_t strip = 0; strip < strips_.size(); ++strip) {
            ConvertStrip(bitmap, strip, bitmap.Height());
        }
    }
}

void ShownColours::ConvertPicture(ScaledPicture& picture) const {
    const std::lock_guard lock(mutex_);
    if (transform_ && NothingConverted()) {
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
        std::size_t strip = 0;
        int to = 0;
        {
            std::unique_lock lock(mutex_);
            const auto next = [&] {
                for (strip = 0; strip < strips_.size(); ++strip) {
                    if (strips_[strip].wanted > strips_[strip].converted) {
                        return true;
                    }
                }
                return false;
            };
            const auto done = [&] {
                return cancelled_ || !transform_ || stop.load(std::memory_order_relaxed) ||
                       ConvertedIn({0, 0, width_}) >= height_;
            };
            changed_.wait(lock, [&] { return done() || next(); });
            if (done()) {
                return;
            }
            to = std::min(
                {height_, strips_[strip].wanted, strips_[strip].converted + kFollowUpRows});
        }
        ConvertStrip(bitmap, strip, to);
        bool tell = false;
        {
            const std::lock_guard lock(mutex_);
            tell = watched_.rows > 0 && ConvertedIn(watched_) >= std::min(watched_.rows, height_);
            if (tell) {
                watched_ = {};
            }
        }
        if (tell && onChange) {
            onChange();
        }
    }
}

bool ShownColours::Converting() const {
    const std::lock_guard lock(mutex_);
    return transform_ != nullptr;
}

int ShownColours::RowsShown(int finalRows, int left, int right) const {
    const std::lock_guard lock(mutex_);
    return transform_ ? std::min(finalRows, ConvertedIn({0, left, right})) : finalRows;
}

void ShownColours::Want(int rows, int left, int right) {
    {
        const std::lock_guard lock(mutex_);
        if (strips_.empty()) {
            const bool first = wantedEarly_.rows == 0;
            wantedEarly_ = {std::max(wantedEarly_.rows, rows),
                            first ? left : std::min(wantedEarly_.left, left),
                            first ? right : std::max(wantedEarly_.right, right)};
        }
        const auto [first, last] = StripsOf(left, right);
        for (std::size_t strip = first; strip < last; ++strip) {
            strips_[strip].wanted = std::max(strips_[strip].wanted, rows);
        }
        watched_ = {std::max(rows, 1), left, right};
    }
    changed_.notify_all();
}

void ShownColours::WaitForAll() {
    std::unique_lock lock(mutex_);
    if (!transform_) {
        return;
    }
    for (Strip& strip : strips_) {
        strip.wanted = height_;
    }
    changed_.notify_all();
    changed_.wait(lock, [&] {
        return ConvertedIn({0, 0, width_}) >= height_ || cancelled_ || over_;
    });
}

void ShownColours::Cancel() {
    {
        const std::lock_guard lock(mutex_);
        cancelled_ = true;
    }
    changed_.notify_all();
}

} // namespace pirela
