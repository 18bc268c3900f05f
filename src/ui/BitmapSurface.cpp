#include "ui/BitmapSurface.h"

#include <algorithm>
#include <cstdint>

namespace pirela {

void BitmapSurface::Reset(const Bitmap* bitmap, RowWaiter waitForRows) {
    bitmap_ = bitmap;
    waitForRows_ = std::move(waitForRows);
    image_ = QImage();
    bandReady_.clear();
    converter_.reset();
    if (bitmap_ == nullptr) {
        return;
    }
    converter_.emplace(*bitmap_);
    // Allocated, not written: memory is only touched as bands are converted.
    image_ = QImage(bitmap_->Width(), bitmap_->Height(),
                    bitmap_->HasAlpha() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (!image_.isNull()) {
        bandReady_.assign(static_cast<std::size_t>((bitmap_->Height() + kBandRows - 1) / kBandRows),
                          false);
    }
}

const QImage& BitmapSurface::Rows(int top, int bottom) {
    if (image_.isNull()) {
        return image_;
    }
    top = std::max(0, top);
    bottom = std::min(bottom, image_.height());
    for (int band = top / kBandRows; band * kBandRows < bottom; ++band) {
        if (!bandReady_[static_cast<std::size_t>(band)]) {
            const int bandBottom = std::min((band + 1) * kBandRows, image_.height());
            if (waitForRows_) {
                waitForRows_(bandBottom);
            }
            ConvertRows(band * kBandRows, bandBottom);
            bandReady_[static_cast<std::size_t>(band)] = true;
        }
    }
    return image_;
}

void BitmapSurface::ConvertRows(int top, int bottom) {
    for (int y = top; y < bottom; ++y) {
        converter_->Convert(y, reinterpret_cast<std::uint32_t*>(image_.scanLine(y)));
    }
}

const QImage& BitmapSurface::Whole() {
    return Rows(0, image_.height());
}

} // namespace pirela
