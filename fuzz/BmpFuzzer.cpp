// Arbitrary bytes as a bmp file: the reader must give a sound bitmap or none, never crash,
// leak or allocate past the bound.
#include "ImageFuzzer.h"

#include "image/BmpReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    WithStream(data, size, [](std::FILE* file) { CheckBitmap(pirela::ReadBmpStream(file).get()); });
    return 0;
}
