// Arbitrary bytes as an EXIF block (a JPEG's APP1 segment), and as the start of a photo file
// whose block is looked for: the orientation read from it is always one of the eight, the
// camera's facts are read within the block, and nothing crashes or leaks.
#include "image/ExifOrientation.h"
#include "view/CameraFacts.h"
#include "view/ExifBlock.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const int orientation = pirela::ExifOrientation(data, size);
    if (orientation < 1 || orientation > 8) {
        std::abort();
    }
    pirela::CameraFactsOf(data, size);
    const std::vector<std::uint8_t> block = pirela::FindExifBlock(data, size);
    if (block.size() > size + 6) { // the file's bytes, with at most the signature in front
        std::abort();
    }
    pirela::CameraFactsOf(block.data(), block.size());
    return 0;
}
