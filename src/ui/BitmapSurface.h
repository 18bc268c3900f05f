#pragma once

#include "image/Bitmap.h"
#include "image/PixelRowConverter.h"

#include <QImage>

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
    // Waits until the picture's rows 0..rows-1 are final (a bitmap still being decoded).
    using RowWaiter = std::function<void(int rows)>;

    // Starts over for a new bitmap (or none); the bitmap must outlive its use here. A bitmap
    // still being decoded comes with a waiter: each band is converted once its rows are final.
    void Reset(const Bitmap* bitmap, RowWaiter waitForRows = {});

    bool IsNull() const { return image_.isNull(); }
    // The surface with at least the picture's pixels in the area converted.
    const QImage& Area(const QRect& area);
    const QImage& Whole();

private:
    static constexpr int kBandRows = 64;
    static constexpr int kTileColumns = 512;

    void ConvertTile(int band, int column);

    const Bitmap* bitmap_ = nullptr;
    RowWaiter waitForRows_;
    std::optional<PixelRowConverter> converter_;
    QImage image_;
    int tileColumns_ = 0; // tiles across
    std::vector<bool> tileReady_;
};

} // namespace pirela
