#pragma once

#include "image/Bitmap.h"
#include "image/PixelRowConverter.h"

#include <QImage>

#include <climits>
#include <functional>
#include <optional>
#include <vector>

namespace pirela {

// The bitmap as the surface the view paints from: top row first, 32 bits a pixel
// (Format_RGB32, or premultiplied ARGB when the bitmap has alpha), so that painting is a plain
// copy and never converts. PixelRowConverter converts tiles (64 rows by 512 columns) when a
// paint first needs them: the first paint of a large photo at 100 % converts only what the
// window shows.
class BitmapSurface {
public:
    // How many of the picture's rows, from the top, are final in the columns left..right-1 (a
    // bitmap still being decoded, or its colours still being converted).
    using RowsFinal = std::function<int(int left, int right)>;

    // Starts over for a new bitmap (or none); the bitmap must outlive its use here. A bitmap
    // still being decoded comes with the count of its final rows: only those are converted.
    void Reset(const Bitmap* bitmap, RowsFinal rowsFinal = {});

    bool IsNull() const { return image_.isNull(); }
    // The rows from the top that Area converts now in the columns left..right-1: all of them
    // once the bitmap is whole, otherwise the whole bands of final rows.
    int ReadyRows(int left = 0, int right = INT_MAX) const;
    // The surface with the picture's pixels in the area converted, as far as its rows are
    // ready; rows below ReadyRows() are not to be shown.
    const QImage& Area(const QRect& area);
    const QImage& Whole();
    // The rows to wait for so that rows 0..rows-1 can be converted: whole bands.
    int RowsToConvert(int rows) const;

private:
    static constexpr int kBandRows = 64;
    static constexpr int kTileColumns = 512;

    void ConvertTile(int band, int column);

    const Bitmap* bitmap_ = nullptr;
    RowsFinal rowsFinal_;
    std::optional<PixelRowConverter> converter_;
    QImage image_;
    int tileColumns_ = 0; // tiles across
    std::vector<bool> tileReady_;
};

} // namespace pirela
