#pragma once

#include "image/Bitmap.h"

#include <QImage>

namespace pirela {

// The bitmap as the one surface the view paints from, made once per load or turn: top row
// first, 32 bits a pixel (Format_RGB32), or premultiplied ARGB when the bitmap has alpha, so
// that painting is a plain copy and never converts. Palette entries a pixel names but the
// table lacks are black.
QImage MakeSurface(const Bitmap& bitmap);

} // namespace pirela
