#include "image/StraightAlpha.h"

#include <algorithm>

namespace pirela {

void UnpremultiplyRow(std::uint8_t* row, int width) {
    for (int x = 0; x < width; ++x, row += 4) {
        const int alpha = row[3];
        if (alpha != 0 && alpha != 255) {
            for (int c = 0; c < 3; ++c) {
                row[c] = static_cast<std::uint8_t>(std::min(255, row[c] * 255 / alpha));
            }
        }
    }
}

} // namespace pirela
