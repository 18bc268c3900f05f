// Arbitrary bytes as a bmp file: the reader must give a sound bitmap or none, never crash,
// leak or allocate past the bound.
#include "ImageFuzzer.h"

#include "image/BmpReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return FuzzImageReader(data, size, [](std::FILE* file) { return pirela::ReadBmpStream(file); });
}
