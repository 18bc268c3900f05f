// Arbitrary bytes as a png file, whole and with a progress as a decode job reads it: the reader
// must give a sound bitmap or none, never crash, leak or allocate past the bound.
#include "ImageFuzzer.h"

#include "image/PngReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    WithStream(data, size, [](std::FILE* file) { CheckBitmap(pirela::ReadPngStream(file).get()); });
    WithStream(data, size, [](std::FILE* file) {
        CheckedProgress progress;
        const auto bitmap = pirela::ReadPngStream(file, progress.Get());
        progress.Check(bitmap.get());
    });
    return 0;
}
