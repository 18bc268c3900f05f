// Arbitrary bytes as a photo's file, read for the date it was taken: every format's way to its
// EXIF block (JPEG segments, PNG and WebP chunks, the boxes of HEIF and CR3, TIFF directories)
// follows offsets the file gives, and none may lead outside it, loop or crash.
#include "folder/DateTaken.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    (void)pirela::DateTakenOfBytes(data, size);
    return 0;
}
