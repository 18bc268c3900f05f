// Arbitrary bytes as a heif file, read from a file descriptor as a plain decode and as a
// decode job reads it: a sound bitmap or none, never a crash, a leak or an allocation past the
// bound.
#include "ImageFuzzer.h"
#include "image/HeifReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzDescriptorReader(data, size, [](int descriptor, const pirela::ReadOptions& options) {
        return pirela::ReadHeifDescriptor(descriptor, options);
    });
    return 0;
}
