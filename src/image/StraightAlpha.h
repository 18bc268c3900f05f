#pragma once

#include <cstdint>

namespace pirela {

// Divides the colours of a row of 32-bit pixels (blue, green, red, alpha) by their alpha:
// files that keep colours multiplied by alpha become the straight colours the bitmap holds.
void UnpremultiplyRow(std::uint8_t* row, int width);

} // namespace pirela
