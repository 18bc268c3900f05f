#pragma once

#include "image/Bitmap.h"
#include "image/ScaledPicture.h"

#include <atomic>
#include <optional>

namespace pirela {

// The whole bitmap shrunk to width x height by area averaging: every target pixel is the mean of
// the source area it covers, partly covered source pixels counted by the part inside. Pixels are
// those of PixelRowConverter; with alpha the premultiplied values are averaged, as compositing
// needs. The same size in both directions gives the source pixels exactly. Width and height must
// be at least 1 and at most the bitmap's own. None when they are not, when memory cannot be had,
// or when cancel (polled between source rows; may be null) becomes true.
// It streams: one source row is converted and reduced at a time, so that apart from the result
// it needs memory only in proportion to the two widths.
std::optional<ScaledPicture> ScaleDown(const Bitmap& bitmap, int width, int height,
                                       const std::atomic<bool>* cancel = nullptr);

} // namespace pirela
