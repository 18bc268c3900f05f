// Arbitrary bytes as a webp file, read from a file descriptor as a plain decode and as a
// decode job reads it, and its frames as an animation plays them: a sound bitmap or none,
// never a crash, a leak or an allocation past the bound.
#include "ImageFuzzer.h"
#include "image/FrameSource.h"
#include "image/WebpReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzDescriptorReader(data, size, [](int descriptor, const pirela::ReadOptions& options) {
        return pirela::ReadWebpDescriptor(descriptor, options);
    });
    FuzzFrames(data, size, pirela::OpenWebpFrames);
    return 0;
}
