// Arbitrary bytes as an EXIF block (a JPEG's APP1 segment): the orientation read from it is
// always one of the eight, and reading never crashes or leaks.
#include "image/ExifOrientation.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const int orientation = pirela::ExifOrientation(data, size);
    if (orientation < 1 || orientation > 8) {
        std::abort();
    }
    return 0;
}
