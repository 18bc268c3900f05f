#pragma once

#include <QCursor>
#include <QIcon>

namespace pirela {

// The program's own icons, drawn as SVG and compiled in, by their resource identifier.
QIcon IconForResource(int resourceId);

// The four-way arrow shown while the image is dragged (cursor resource 138).
QCursor DragCursor();

} // namespace pirela
