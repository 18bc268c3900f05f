#include "ui/BitmapSurface.h"

#include <algorithm>
#include <cstdint>

namespace pirela {

void BitmapSurface::Reset(const Bitmap* bitmap, RowsFinal rowsFinal) {
    bitmap_ = bitmap;
    rowsFinal_ = std::move(rowsFinal);
    image_ = QImage();
    tileReady_.clear();
    converter_.reset();
    if (bitmap_ == nullptr) {
        return;
    }
    converter_.emplace(*bitmap_);
    // Allocated, not written: memory is only touched as tiles are converted.
    image_ = QImage(bitmap_->Width(), bitmap_->Height(),
                    bitmap_->HasAlpha() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (!image_.isNull()) {
        tileColumns_ = (bitmap_->Width() + kTileColumns - 1) / kTileColumns;
        const int bands = (bitmap_->Height() + kBandRows - 1) / kBandRows;
        tileReady_.assign(static_cast<std::size_t>(bands) * static_cast<std::size_t>(tileColumns_),
                          false);
    }
}

int BitmapSurface::ReadyRows(int left, int right) const {
    const int height = image_.height();
    if (!rowsFinal_) {
        return height;
    }
    const int final = rowsFinal_(left, right);
    return final >= height ? height : final / kBandRows * kBandRows;
}

int BitmapSurface::RowsToConvert(int rows) const {
    return std::min(image_.height(), (rows + kBandRows - 1) / kBandRows * kBandRows);
}

const QImage& BitmapSurface::Area(const QRect& area) {
    const QRect inside =
        area.intersected(QRect(0, 0, image_.width(), ReadyRows(area.left(), area.right() + 1)));
    if (image_.isNull() || inside.isEmpty()) {
        return image_;
    }
    for (int band = inside.top() / kBandRows; band * kBandRows <= inside.bottom(); ++band) {
        for (int column = inside.left() / kTileColumns; column * kTileColumns <= inside.right();
             ++column) {
            const std::size_t tile = static_cast<std::size_t>(band) *
                                         static_cast<std::size_t>(tileColumns_) +
                                     static_cast<std::size_t>(column);
            if (!tileReady_[tile]) {
                ConvertTile(band, column);
                tileReady_[tile] = true;
            }
        }
    }
    return image_;
}

void BitmapSurface::ConvertTile(int band, int column) {
    const int top = band * kBandRows;
    const int bottom = std::min(top + kBandRows, image_.height());
    const int left = column * kTileColumns;
    const int right = std::min(left + kTileColumns, image_.width());
    for (int y = top; y < bottom; ++y) {
        converter_->Convert(y, left, right, reinterpret_cast<std::uint32_t*>(image_.scanLine(y)));
    }
}

const QImage& BitmapSurface::Whole() {
    return Area(image_.rect());
}

} // namespace pirela
