// Arbitrary bytes as a gif file, read from a file descriptor as a plain decode and as a
// decode job reads it, and its frames as an animation plays them: a sound bitmap or none,
// never a crash, a leak or an allocation past the bound.
#include "ImageFuzzer.h"
#include "image/FrameSource.h"
#include "image/GifReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzDescriptorReader(data, size, [](int descriptor, const pirela::ReadOptions& options) {
        return pirela::ReadGifDescriptor(descriptor, options);
    });
    FuzzFrames(data, size, pirela::OpenGifFrames);
    return 0;
}
