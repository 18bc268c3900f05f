#pragma once

#include "image/Bitmap.h"
#include "image/DecodeProgress.h"

#include <memory>

namespace pirela {

// How a reader is to read a file: whether it turns a photo upright as the file says, and the
// progress (if any) that hears of its bitmap and finished rows and may ask it to stop.
struct ReadOptions {
    DecodeProgress* progress = nullptr;
    bool applyOrientation = true;

    // The reader's side of the progress, each doing nothing without one.
    void Started(Bitmap& bitmap) const {
        if (progress != nullptr) {
            progress->Started(bitmap);
        }
    }
    void RowsFinished(int rows) const {
        if (progress != nullptr) {
            progress->RowsFinished(rows);
        }
    }
    bool StopRequested() const { return progress != nullptr && progress->StopRequested(); }
    std::unique_ptr<Bitmap> Outcome(bool decoded, std::unique_ptr<Bitmap> bitmap) const {
        if (progress != nullptr) {
            return progress->Outcome(decoded, std::move(bitmap));
        }
        return decoded ? std::move(bitmap) : nullptr;
    }
};

} // namespace pirela
