// Arbitrary bytes as a tiff file, read from a file descriptor as a plain decode and as a
// decode job reads it: a sound bitmap or none, never a crash, a leak or an allocation past the
// bound.
#include "ImageFuzzer.h"
#include "image/TiffReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzDescriptorReader(data, size, [](int descriptor, const pirela::ReadOptions& options) {
        return pirela::ReadTiffDescriptor(descriptor, options);
    });
    return 0;
}
