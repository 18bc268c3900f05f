#pragma once

#include <QIcon>

namespace pirela {

// The program's own icons, drawn as SVG and compiled in, by their resource identifier.
QIcon IconForResource(int resourceId);

} // namespace pirela
