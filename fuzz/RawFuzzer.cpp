// Arbitrary bytes as a camera's raw file: libraw finds (or does not find) its JPEG preview,
// which the JPEG reader then decodes, upright, as a decode job does. A sound bitmap or none.
#include "ImageFuzzer.h"
#include "image/RawPreview.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    WithDescriptor(data, size, [](int descriptor) {
        CheckedProgress progress;
        pirela::JpegReadOptions options;
        options.progress = progress.Get();
        const auto bitmap = pirela::ReadRawPreviewDescriptor(descriptor, options);
        progress.Check(bitmap.get());
    });
    return 0;
}
